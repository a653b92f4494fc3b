#pragma once

#include <string>

namespace TestSupport {

// Tests in a file named *_sound_test.cpp run with an ALSA default device that writes every
// played sample (raw 16-bit PCM, as played) to a capture file; each opening of the device, that
// is each sound played, writes a file of its own (capture.raw, capture.raw.0001, ...).
// Elsewhere the process has no sound device and PlaySoundW fails at once.
// A sound is complete in the capture when PlaySoundW without SND_ASYNC has returned; after an
// asynchronous start, wait with PumpUntil on SoundCaptureSize.

// Whether this test runs with the capture device.
bool SoundCaptureAvailable();
// Bytes captured so far, over all sounds; 0 outside sound tests.
long long SoundCaptureSize();
// How many sounds were played (device openings) so far.
int SoundCapturePlays();
// The captured bytes so far, sounds in the order played.
std::string ReadSoundCapture();

} // namespace TestSupport
