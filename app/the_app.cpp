// The one application object, constructed before start-up.
#include "app/tolven_format_app.h"

namespace tolven {

CTolvenFormatApp theApp;

}  // namespace tolven
