// Counting stand-ins for the GL 1.1 entry points: each is defined here with GL's own signature, so the
// linker binds the program's calls to it instead of the GL library's; it counts and then calls the next
// definition of the same name (the GL library's), looked up once with dlsym(RTLD_NEXT).
#include "GLCallCounter.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

#include <GL/gl.h>

namespace vanta::bench {
namespace {

std::int64_t calls = 0;

// One count per stand-in, registered on its first call; the slots never move.
struct NamedCount
{
    const char* name;
    std::int64_t count;
};
constexpr int maxNames = 64;
NamedCount named[maxNames];
int namedUsed = 0;

std::int64_t* Slot(const char* name)
{
    if (namedUsed == maxNames) {
        std::fprintf(stderr, "GL call counter: more than %d entry points\n", maxNames);
        std::abort();
    }
    named[namedUsed] = {name, 0};
    return &named[namedUsed++].count;
}

void* Next(const char* name)
{
    void* function = ::dlsym(RTLD_NEXT, name);
    if (function == nullptr) {
        std::fprintf(stderr, "GL call counter: no %s after this program\n", name);
        std::abort();
    }
    return function;
}

} // namespace

std::int64_t GLCallCount()
{
    return calls;
}

std::map<std::string, std::int64_t> GLCallCountsByName()
{
    std::map<std::string, std::int64_t> counts;
    for (int i = 0; i < namedUsed; ++i)
        counts[named[i].name] = named[i].count;
    return counts;
}

} // namespace vanta::bench

// One stand-in: `result name(parameters)` forwarding `arguments`.
#define VANTA_COUNTED(result, name, parameters, arguments)                                                             \
    extern "C" result GLAPIENTRY name parameters                                                                       \
    {                                                                                                                  \
        ++vanta::bench::calls;                                                                                         \
        static std::int64_t* const slot_ = vanta::bench::Slot(#name);                                                  \
        ++*slot_;                                                                                                      \
        static const auto next = reinterpret_cast<result(GLAPIENTRY*) parameters>(vanta::bench::Next(#name));          \
        return next arguments;                                                                                         \
    }

VANTA_COUNTED(void, glAlphaFunc, (GLenum func, GLclampf ref), (func, ref))
VANTA_COUNTED(void, glBegin, (GLenum mode), (mode))
VANTA_COUNTED(void, glBindTexture, (GLenum target, GLuint texture), (target, texture))
VANTA_COUNTED(void, glBitmap,
              (GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove,
               const GLubyte* bitmap),
              (width, height, xorig, yorig, xmove, ymove, bitmap))
VANTA_COUNTED(void, glBlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor))
VANTA_COUNTED(void, glClear, (GLbitfield mask), (mask))
VANTA_COUNTED(void, glClearColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha),
              (red, green, blue, alpha))
VANTA_COUNTED(void, glColor4ub, (GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha), (red, green, blue, alpha))
VANTA_COUNTED(void, glColor4ubv, (const GLubyte* v), (v))
VANTA_COUNTED(void, glColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* ptr),
              (size, type, stride, ptr))
VANTA_COUNTED(void, glDeleteTextures, (GLsizei n, const GLuint* textures), (n, textures))
VANTA_COUNTED(void, glDisable, (GLenum cap), (cap))
VANTA_COUNTED(void, glDisableClientState, (GLenum cap), (cap))
VANTA_COUNTED(void, glDrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))
VANTA_COUNTED(void, glDrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices),
              (mode, count, type, indices))
VANTA_COUNTED(void, glDrawPixels, (GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid* pixels),
              (width, height, format, type, pixels))
VANTA_COUNTED(void, glEnable, (GLenum cap), (cap))
VANTA_COUNTED(void, glEnableClientState, (GLenum cap), (cap))
VANTA_COUNTED(void, glEnd, (), ())
VANTA_COUNTED(void, glFinish, (), ())
VANTA_COUNTED(void, glGenTextures, (GLsizei n, GLuint* textures), (n, textures))
VANTA_COUNTED(void, glGetTexLevelParameteriv, (GLenum target, GLint level, GLenum pname, GLint* params),
              (target, level, pname, params))
VANTA_COUNTED(void, glLineWidth, (GLfloat width), (width))
VANTA_COUNTED(void, glLoadIdentity, (), ())
VANTA_COUNTED(void, glMatrixMode, (GLenum mode), (mode))
VANTA_COUNTED(void, glOrtho,
              (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal),
              (left, right, bottom, top, nearVal, farVal))
VANTA_COUNTED(void, glPixelStorei, (GLenum pname, GLint param), (pname, param))
VANTA_COUNTED(void, glRasterPos2i, (GLint x, GLint y), (x, y))
VANTA_COUNTED(void, glReadPixels,
              (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels),
              (x, y, width, height, format, type, pixels))
VANTA_COUNTED(void, glScissor, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))
VANTA_COUNTED(void, glTexCoord2f, (GLfloat s, GLfloat t), (s, t))
VANTA_COUNTED(void, glTexCoordPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* ptr),
              (size, type, stride, ptr))
VANTA_COUNTED(void, glTexImage2D,
              (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
               GLenum format, GLenum type, const GLvoid* pixels),
              (target, level, internalFormat, width, height, border, format, type, pixels))
VANTA_COUNTED(void, glTexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param))
VANTA_COUNTED(void, glTexSubImage2D,
              (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height, GLenum format,
               GLenum type, const GLvoid* pixels),
              (target, level, xoffset, yoffset, width, height, format, type, pixels))
VANTA_COUNTED(void, glVertex2f, (GLfloat x, GLfloat y), (x, y))
VANTA_COUNTED(void, glVertex2fv, (const GLfloat* v), (v))
VANTA_COUNTED(void, glVertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* ptr),
              (size, type, stride, ptr))
VANTA_COUNTED(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))
