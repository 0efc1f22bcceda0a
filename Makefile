# Thin front over CMake. Each target bootstraps what it lacks.
JOBS ?= $(shell nproc)
BUILD ?= build
SAN_BUILD ?= build-sanitize

.PHONY: all bootstrap build test sanitize demo bench codec-exhaustive clean

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/CMakeCache.txt: | bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: bootstrap $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE fuzz

sanitize: bootstrap
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANDREL_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	ruby -I $(BUILD) examples/demo.rb $(BUILD)/demo.svg
	$(BUILD)/noise_sheet $(BUILD)/noise_sheet.svg

bench: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVANDREL_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bench/*_bench; do "$$b" || exit 1; done
	ruby -I $(BUILD) bench/pipeline.rb
	ruby -I $(BUILD) bench/million.rb

# Every float through the text codec, against std::to_chars, on $(JOBS) threads.
codec-exhaustive: bootstrap $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target codec_exhaustive
	$(BUILD)/tests/codec_exhaustive $(JOBS)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
