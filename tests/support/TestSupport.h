#pragma once

// All test helpers at once.
#include "DialogAnswerer.h"
#include "HostFiles.h"
#include "MessagePump.h"
#include "Pixels.h"
#include "RelayLog.h"
#include "ScratchWindow.h"
#include "SoundCapture.h"
#include "WindowInfo.h"
#include "Wine.h"
