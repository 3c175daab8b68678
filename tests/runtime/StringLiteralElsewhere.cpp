// A string literal made in a translation unit of its own, for String_test.cpp to compare with the same text
// written there: one object per literal text holds across files, not only within one.
#include "runtime/String.h"

namespace vanta::test {

String* AbcLiteralFromAnotherFile()
{
    return "abc"_s;
}

} // namespace vanta::test
