/* stb_image_build.c - stb_image's implementation from libstb's header, built with the fuzzer's
   instrumentation. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
