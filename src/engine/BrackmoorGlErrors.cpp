// BrackmoorGlErrors.cpp - the pending GL error as an English message.
#include "BrackmoorGlu.h"

std::string CheckErrors() {
    // One fetch per call: GL clears the flag it reports.
    switch (glGetError()) {
        case GL_INVALID_ENUM:
            return "ERROR:Invalid Enum";
        case GL_INVALID_VALUE:
            return "ERROR:Invalid value, Out of range";
        case GL_INVALID_OPERATION:
            return "ERROR:Invalid operation, Not allow in current state";
        case GL_STACK_OVERFLOW:
            return "ERROR:Will cause stack overflow";
        case GL_STACK_UNDERFLOW:
            return "ERROR:Would cause stack underflow";
        case GL_OUT_OF_MEMORY:
            return "ERROR:Out of memory for command";
        default:
            return "";
    }
}
