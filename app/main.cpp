#include "app/ax_mgr_app.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    CAXMgrApp app;
    return app.Run(instance, showCommand);
}
