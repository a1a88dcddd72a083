// The whole user-interface part of the platform (windows, messages, input,
// timers, menus, message boxes, metrics and colours).
#pragma once

#include "platform/os/user/Dialog.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Menu.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/MessageBox.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Timer.h"
#include "platform/os/user/Window.h"
