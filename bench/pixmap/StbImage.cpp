// stb_image, the reference decoder of the loader benchmarks, compiled once (its warnings are not ours).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#include <stb/stb_image.h>
