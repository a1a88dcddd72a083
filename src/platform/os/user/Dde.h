// Dynamic data exchange over window messages: the packing of a message's
// two values into its lParam, and the record of every DDE message one
// window sends or posts to another ("dde" in QV_LOG).
//
// A conversation: the client sends WM_DDE_INITIATE (wParam its window,
// lParam MAKELPARAM(application atom, topic atom)), to HWND_BROADCAST or
// one window; a server answers by sending WM_DDE_ACK with its own window
// and the two atoms, unpacked. From then on messages are posted:
// WM_DDE_EXECUTE carries the global memory handle of its command text as the
// lParam itself, WM_DDE_ACK (then packed) the status word and that handle,
// and either side ends with WM_DDE_TERMINATE.
//
// Packed messages (WM_DDE_ACK after the initiation, WM_DDE_ADVISE,
// WM_DDE_DATA, WM_DDE_POKE) carry a global memory block holding the two
// values; the others carry MAKELPARAM(low, high), WM_DDE_EXECUTE its high
// value alone.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/user/Message.h"

using PUINT_PTR = UINT_PTR*;

// The status word of WM_DDE_ACK.
#define DDE_FACK 0x8000u
#define DDE_FBUSY 0x4000u
#define DDE_FAPPSTATUS 0x00FFu

LPARAM PackDDElParam(UINT msg, UINT_PTR low, UINT_PTR high);
// FALSE when a packed message's lParam is no packed pair; the outputs are
// then 0. Either output may be null.
BOOL UnpackDDElParam(UINT msg, LPARAM lParam, PUINT_PTR low, PUINT_PTR high);
// Frees the pair of a packed message; TRUE for messages that pack nothing.
BOOL FreeDDElParam(UINT msg, LPARAM lParam);
// The lParam of `msgOut` with these values, reusing (or freeing) the pair
// of `msgIn`'s lParam as the two messages need.
LPARAM ReuseDDElParam(LPARAM lParam, UINT msgIn, UINT msgOut, UINT_PTR low, UINT_PTR high);

namespace qv::os::user {

// Records a DDE message on its way ("dde" with the message's short name and
// what it carries: application and topic names, the status word, the
// command text). `sent` tells SendMessage from PostMessage, which is how
// the acknowledgement of an initiation differs from the others.
void recordDdeMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool sent);

}  // namespace qv::os::user
