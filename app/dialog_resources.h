// The program's resources as data, for the hosts that build their windows themselves (the tests'
// in-memory host and the Linux terminal). Same ids, texts, styles and sizes as the Windows
// resource script.
#pragma once

#include "app/framework/dialog_template.h"

namespace tolven {

// The main dialog (102), the About box (100), string 101 and icon 128.
const ResourceSet& TolvenFormatResources();

}  // namespace tolven
