// The native audio layer's plain functions: the device and channel-table globals, voice lookup by handle,
// playing, stopping, pausing and the channel settings.
// Builds on: winmmdevice, mixer, ChannelTable, SoundBuffer, sound.
//
// Threads: program thread only. Each call first collects the voices the mixer has retired, so that finished
// voices, their buffer uses and their own channels come back without the callback thread freeing anything.
#include "audio/waveout/WaveOut.h"

#include "audio/waveout/ChannelTable.h"
#include "audio/waveout/SoundBuffer.h"
#include "audio/waveout/sound.h"
#include "audio/waveout/winmmdevice.h"

namespace vanta::audio {

namespace {

std::unique_ptr<audiodevice> device;
std::unique_ptr<ChannelTable> channelTable;

// The open device's mixer with its retired voices collected, or nullptr when no device is open.
mixer* ProgramMixer()
{
    if (device == nullptr || channelTable == nullptr) return nullptr;
    mixer* voices = device->Mixer();
    voices->CollectRetired();
    return voices;
}

// The voice on a current channel slot; an empty slot first gets a settings holder (a voice that is never
// mixed) so that settings made before anything plays are kept.
sound* SlotVoice(mixer& voices, int slot)
{
    sound* voice = channelTable->Voice(slot);
    if (voice == nullptr) {
        voice = voices.AllocVoice(nullptr);
        channelTable->Assign(slot, voice);
    }
    return voice;
}

// The voice for a handle, or nullptr for no device, handle 0 or a stale handle.
sound* Lookup(int handle)
{
    mixer* voices = ProgramMixer();
    if (voices == nullptr) return nullptr;
    const int slot = channelTable->Slot(handle);
    return slot != 0 ? SlotVoice(*voices, slot) : nullptr;
}

} // namespace

int OpenAudioDevice()
{
    if (device != nullptr) return 0;
    return OpenAudioDevice(std::make_unique<winmmdevice>());
}

int OpenAudioDevice(std::unique_ptr<audiodevice> newDevice)
{
    if (newDevice == nullptr || device != nullptr) return -1;
    if (newDevice->Open() != 0 || newDevice->Mixer() == nullptr) {
        newDevice->Close();
        return -1;
    }
    channelTable = std::make_unique<ChannelTable>();
    newDevice->Mixer()->AttachChannels(channelTable.get());
    device = std::move(newDevice);
    return 0;
}

void CloseAudioDevice()
{
    if (device == nullptr) return;
    // The output stops first: no pass may run while the voices and the table go.
    device->Close();
    device->Mixer()->AttachChannels(nullptr);
    channelTable.reset();
    device.reset();
}

audiodevice* CurrentAudioDevice()
{
    return device.get();
}

SoundBuffer* CreateSoundBuffer(int frames, int bits, int channels, int hertz, const void* data, int loop)
{
    if (ProgramMixer() == nullptr) return nullptr;
    return SoundBuffer::Create(frames, bits, channels, hertz, data, loop);
}

int WriteSoundBuffer(SoundBuffer* buffer, const void* data, int frames)
{
    if (ProgramMixer() == nullptr || buffer == nullptr) return 0;
    return buffer->Write(data, frames);
}

void FreeSoundBuffer(SoundBuffer* buffer)
{
    // Collecting first lets a buffer whose voices have all finished go now rather than at a later call.
    ProgramMixer();
    SoundBuffer::Release(buffer);
}

int AllocChannelHandle()
{
    if (ProgramMixer() == nullptr) return 0;
    return channelTable->Alloc();
}

void FreeChannelHandle(int handle)
{
    mixer* voices = ProgramMixer();
    if (voices == nullptr) return;
    const int slot = channelTable->Slot(handle);
    if (slot == 0) return;
    if (sound* voice = channelTable->Voice(slot)) voice->Stop();
    voices->Recycle(channelTable->Free(slot));
}

int PlaySoundBuffer(SoundBuffer* buffer, int paused, int handle)
{
    mixer* voices = ProgramMixer();
    if (voices == nullptr || buffer == nullptr) return handle;

    int slot = 0;
    int autoChannel = 0;
    const output* settings = nullptr;
    if (handle != 0) {
        slot = channelTable->Slot(handle);
        if (slot == 0) return 0;
        settings = SlotVoice(*voices, slot);
    } else {
        handle = channelTable->Alloc();
        slot = handle & ChannelTable::SLOT_MASK;
        autoChannel = handle;
    }

    sound* voice = device->Play(buffer, settings, paused, autoChannel);
    if (voice == nullptr) {
        // Nothing started: the channel keeps what it had, and a channel taken for this playback goes back.
        if (autoChannel != 0) channelTable->Free(slot);
        return 0;
    }
    if (slot != 0) {
        if (sound* previous = channelTable->Voice(slot)) previous->Stop();
        voices->Recycle(channelTable->Assign(slot, voice));
    }
    return handle;
}

bool ChannelHandleCurrent(int handle)
{
    if (ProgramMixer() == nullptr) return false;
    return channelTable->Slot(handle) != 0;
}

int ChannelStatus(int handle)
{
    const sound* voice = Lookup(handle);
    return voice != nullptr ? voice->State() : 0;
}

void StopChannelHandle(int handle)
{
    if (sound* voice = Lookup(handle)) voice->Stop();
}

void PauseChannelHandle(int handle, int paused)
{
    if (sound* voice = Lookup(handle)) voice->Pause(paused != 0);
}

void SetChannelHandleVolume(int handle, std::int16_t volume)
{
    if (sound* voice = Lookup(handle)) voice->SetVolume(volume);
}

void SetChannelHandlePan(int handle, std::int16_t pan)
{
    if (sound* voice = Lookup(handle)) voice->SetPan(pan);
}

void SetChannelHandleDepth(int handle, std::int16_t depth)
{
    if (sound* voice = Lookup(handle)) voice->SetDepth(depth);
}

void SetChannelHandleRate(int handle, int rate)
{
    if (sound* voice = Lookup(handle)) voice->SetRate(rate);
}

} // namespace vanta::audio
