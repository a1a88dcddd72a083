// The whole drawing layer of the platform for callers that want all of it.
#pragma once

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Pen.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Region.h"
