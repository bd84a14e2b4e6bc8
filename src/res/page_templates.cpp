// Templates of the page windows whose controls are still to come: each an
// empty child of its template's size.

#include "res/resource_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

constexpr platform::DialogTemplate kNetwork{kNetworkTemplate, "", 416, 332, "MS Shell Dlg", 8, {}};

}  // namespace

const platform::DialogTemplate& NetworkTemplate() { return kNetwork; }

}  // namespace velmora::res
