// Start-up of the further component library's utility unit: four cursor identifiers of its own
// take the framework's drag cursors.
#pragma once

inline constexpr int crMultiDragLink = 368, crDragAlt = 369, crMultiDragAlt = 370, crMultiDragLinkAlt = 371;

void JvJVCLUtilsInitialization();
