/* stb_image_build.c - stb_image from libstb's header, built with the image fuzzer's flags. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
