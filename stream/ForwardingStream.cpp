// Forwarding streams: wrappers that pass the primitives on to an inner stream, and the borrowing wrapper
// that `OpenStream` returns for a stream passed in as a URL.
#include "stream/ForwardingStream.h"

namespace vanta {

std::int32_t TForwardingStream::Eof()
{
    return inner_->Eof();
}

std::int32_t TForwardingStream::Pos()
{
    return inner_->Pos();
}

std::int32_t TForwardingStream::Size()
{
    return inner_->Size();
}

std::int32_t TForwardingStream::Seek(std::int32_t pos)
{
    return inner_->Seek(pos);
}

std::int32_t TForwardingStream::Flush()
{
    return inner_->Flush();
}

std::int32_t TForwardingStream::Close()
{
    return inner_->Close();
}

std::int32_t TForwardingStream::Read(void* buffer, std::int32_t count)
{
    return inner_->Read(buffer, count);
}

std::int32_t TForwardingStream::Write(const void* buffer, std::int32_t count)
{
    return inner_->Write(buffer, count);
}

void TForwardingStream::SetStream(const Ref<TByteStream>& stream)
{
    inner_ = stream;
}

std::int32_t TBorrowedStream::Close()
{
    SetStream(Null);
    return 0;
}

Ref<TBorrowedStream> TBorrowedStream::Create(const Ref<TByteStream>& stream)
{
    Ref<TBorrowedStream> borrowed = New<TBorrowedStream>();
    borrowed->SetStream(stream);
    return borrowed;
}

} // namespace vanta
