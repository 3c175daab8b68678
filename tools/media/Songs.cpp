#include "tools/media/Media.h"
namespace vanta::media {
void WriteMusic(const std::string&)
{}
} // namespace vanta::media
