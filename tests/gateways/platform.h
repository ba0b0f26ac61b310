// Where the Windows and Linux builds of a gateway differ, the default build
// (build/host/<name>) has the behaviour of the platform it is built for
// (GATEBOX_WINDOWS_BEHAVIOUR), and the Linux build also builds the Windows
// variant into build/host/win/.  Under the Windows build both are Windows.
#pragma once

#if defined(GATEBOX_WINDOWS_BEHAVIOUR) && GATEBOX_WINDOWS_BEHAVIOUR
inline constexpr bool kDefaultBuildIsWindows = true;
#else
inline constexpr bool kDefaultBuildIsWindows = false;
#endif
