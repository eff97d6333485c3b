// Numbers of the resources every Windows executable of the project carries; included by the
// resource scripts and by code that loads them (LoadIconW(instance, MAKEINTRESOURCEW(...))).
#pragma once

// The application icon, 16 to 256 pixels. It must stay the lowest-numbered icon group and no
// icon may have a name: Explorer shows an executable's first group.
#define HAOJIAN_ICON_APPLICATION 1
