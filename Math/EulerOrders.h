#pragma once

// The twelve axis orders PQR of Euler angles, proper orders (P == R) first. Expands
// ORDER(P, Q, R, arg) for each, arg passed through.
#define VANDREL_EULER_ORDERS(ORDER, arg) \
    ORDER(X, Y, X, arg)                  \
    ORDER(X, Z, X, arg)                  \
    ORDER(Y, X, Y, arg)                  \
    ORDER(Y, Z, Y, arg)                  \
    ORDER(Z, X, Z, arg)                  \
    ORDER(Z, Y, Z, arg)                  \
    ORDER(X, Y, Z, arg)                  \
    ORDER(X, Z, Y, arg)                  \
    ORDER(Y, X, Z, arg)                  \
    ORDER(Y, Z, X, arg)                  \
    ORDER(Z, X, Y, arg)                  \
    ORDER(Z, Y, X, arg)

#define VANDREL_EULER_MEMBER_DECLARATION(P, Q, R, Type)         \
    static Type FromEuler##P##Q##R(float a, float b, float c); \
    float3 ToEuler##P##Q##R() const;

// Declares, inside the class Type, the twenty-four members FromEulerXYX ... FromEulerZYX
// (static, Type from three angles) and ToEulerXYX ... ToEulerZYX (float3 of three angles).
#define VANDREL_EULER_MEMBER_DECLARATIONS(Type) VANDREL_EULER_ORDERS(VANDREL_EULER_MEMBER_DECLARATION, Type)
