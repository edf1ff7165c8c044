#pragma once

// Makes the default files compiled into the program reachable under
// ":/defaults" (needed once, because they live in a static library).
void ensureDefaultResources();
