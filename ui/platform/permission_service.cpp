#include "ui/platform/permission_service.h"

namespace pile::platform {

void DesktopPermissionService::request(const QStringList& names, PermissionResultCallback result,
                                       PermissionRationaleCallback /*rationale*/) {
    if (result) {
        result(names, QList<PermissionAnswer>(names.size(), PermissionAnswer::Granted));
    }
}

}  // namespace pile::platform
