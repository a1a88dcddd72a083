// Sound. Nothing is heard on the headless desktop: every call is recorded
// as "sound file flags" (flags in hex, an empty file for a stop), and the
// result is what the platform's player would answer.
#pragma once

#include "platform/os/Types.h"

#define SND_SYNC 0x0000u
#define SND_ASYNC 0x0001u
#define SND_NODEFAULT 0x0002u
#define SND_MEMORY 0x0004u
#define SND_LOOP 0x0008u
#define SND_NOSTOP 0x0010u
#define SND_PURGE 0x0040u
#define SND_APPLICATION 0x0080u
#define SND_NOWAIT 0x00002000u
#define SND_ALIAS 0x00010000u
#define SND_ALIAS_ID 0x00110000u
#define SND_FILENAME 0x00020000u
#define SND_RESOURCE 0x00040004u

// A NULL sound or SND_PURGE stops what plays. A file or alias that is not
// found plays the default sound (TRUE) unless SND_NODEFAULT says not to
// (FALSE). Without SND_FILENAME or SND_ALIAS a name is an alias first, then a
// file.
BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);
inline BOOL PlaySound(LPCSTR s, HMODULE m, DWORD f) { return PlaySoundA(s, m, f); }
BOOL sndPlaySoundA(LPCSTR sound, UINT flags);
inline BOOL sndPlaySound(LPCSTR s, UINT f) { return sndPlaySoundA(s, f); }
