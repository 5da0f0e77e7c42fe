// The framework in one include, as an application's code expects it.
#pragma once

#include "framework/cdialog.h"
#include "framework/collections.h"
#include "framework/controls.h"
#include "framework/cstring.h"
#include "framework/cwinapp.h"
#include "framework/cwnd.h"
#include "framework/message_map.h"
#include "nt/win32.h"
