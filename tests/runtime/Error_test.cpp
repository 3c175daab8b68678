// Runtime errors: texts, catching by class, rethrowing, and the uncaught path.
#include "runtime/Error.h"
#include "runtime/String.h"

#include <thread>

#include <gtest/gtest.h>

namespace vanta {
namespace {

class TOtherError : public TRuntimeError
{
    VANTA_CLASS(TOtherError, TRuntimeError)
public:
    TOtherError() = default;
};

std::string TextOf(void (*thrower)())
{
    try {
        thrower();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST(RuntimeErrors, EachClassHasItsText)
{
    EXPECT_EQ(TextOf([] { ThrowNullObject(); }), "Attempt to access field or method of Null object");
    EXPECT_EQ(TextOf([] { ThrowAbstractMethod(); }), "Attempt to call abstract method");
    EXPECT_EQ(TextOf([] { ThrowNullFunction(); }), "Attempt to call uninitialized function pointer");
    EXPECT_EQ(TextOf([] { ThrowArrayBounds(); }), "Attempt to index array element beyond array length");
    EXPECT_EQ(TextOf([] { ThrowOutOfData(); }), "Attempt to read beyond end of data");
    EXPECT_EQ(TextOf([] { ThrowError("List index out of range"); }), "List index out of range");
    EXPECT_EQ(TextOf([] { ThrowCString("plain text"); }), "plain text");
}

TEST(RuntimeErrors, MessageErrorsCarryTheirMessage)
{
    Ref<TMessageError> error = TMessageError::Create("x"_s);
    EXPECT_EQ(error->ToString()->View(), u"x");
    EXPECT_EQ(New<TMessageError>()->ToString().Raw(), EmptyString());
    try {
        ThrowError("Stream is not seekable"_s);
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TMessageError>());
        EXPECT_TRUE(e.Is<TRuntimeError>());
        EXPECT_FALSE(e.Is<TNullObjectError>());
    }
}

TEST(RuntimeErrors, AThrownStringIsDeliveredAsItself)
{
    Ref<String> text = String::FromCString("thrown text");
    try {
        Throw(text);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Thrown(), text);
        EXPECT_EQ(e.As<String>(), text);
    }
}

TEST(RuntimeErrors, AHandlerRethrowsWhatItDoesNotAccept)
{
    int innerCaught = 0;
    int outerCaught = 0;
    auto guarded = [&](void (*thrower)()) {
        try {
            try {
                thrower();
            } catch (const Exception& e) {
                if (!e.Is<TOtherError>()) throw;
                ++innerCaught;
            }
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Is<TMessageError>());
            ++outerCaught;
        }
    };
    guarded([] { Throw(New<TOtherError>()); });
    guarded([] { ThrowError("passes on"); });
    EXPECT_EQ(innerCaught, 1);
    EXPECT_EQ(outerCaught, 1);
}

TEST(RuntimeErrors, DeeplyNestedHandlersAllUnwind)
{
    int caught = 0;
    std::function<void(int)> nest = [&](int depth) {
        try {
            if (depth == 0) ThrowError("deep");
            nest(depth - 1);
        } catch (const Exception& e) {
            ++caught;
            throw;
        }
    };
    EXPECT_THROW(nest(25), Exception);
    EXPECT_EQ(caught, 26);
}

TEST(RuntimeErrors, TheThrownObjectOutlivesAFlushDuringUnwinding)
{
    const int level = ReleaseStackLevel();
    try {
        ThrowError("still here");
    } catch (const Exception& e) {
        FlushReleaseStack(level);
        EXPECT_STREQ(e.what(), "still here");
        EXPECT_EQ(e.Thrown()->ToString()->View(), u"still here");
    }
}

using UncaughtDeathTest = ::testing::Test;

TEST_F(UncaughtDeathTest, WritesTheTextAndExitsWithMinusOne)
{
    EXPECT_EXIT(HandleUncaughtException(New<TAbstractMethodError>()), ::testing::ExitedWithCode(255),
                "^Attempt to call abstract method\n$");
}

TEST_F(UncaughtDeathTest, AnExceptionLeavingAThreadTakesTheSamePath)
{
    EXPECT_EXIT(std::thread([] { ThrowError("escaped"); }).join(), ::testing::ExitedWithCode(255), "escaped");
}

[[noreturn]] void ReplacementHook(const Ref<Object>&)
{
    std::fputs("replacement hook", stderr);
    std::_Exit(3);
}

TEST_F(UncaughtDeathTest, TheHookCanBeReplaced)
{
    EXPECT_EXIT(
        {
            SetUncaughtExceptionHook(&ReplacementHook);
            HandleUncaughtException("x"_s);
        },
        ::testing::ExitedWithCode(3), "replacement hook");
}

} // namespace
} // namespace vanta
