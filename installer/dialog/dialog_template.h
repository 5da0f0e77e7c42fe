// The installer's resources: the installation dialog's template and the
// program's icon, registered with the framework by this unit.
#pragma once

#include "framework/resources.h"

extern const DialogTemplate kInstallDialogTemplate;
extern const framework::IconResource kMainFrameIcon;
