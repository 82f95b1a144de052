// The storage-permission request of the platform. A desktop grants every name at once, inside
// the call; a platform that asks the user answers later, on the user-interface thread.
#pragma once

#include <QList>
#include <QStringList>
#include <functional>

namespace pile::platform {

enum class PermissionAnswer { Granted, Denied, PermanentlyDenied };

// The names asked for and one answer per name.
using PermissionResultCallback =
    std::function<void(const QStringList& names, const QList<PermissionAnswer>& answers)>;
// Called before the user is asked; calling `proceed` lets the request go on.
using PermissionRationaleCallback =
    std::function<void(const QStringList& names, std::function<void()> proceed)>;

class PermissionService {
  public:
    virtual ~PermissionService() = default;
    virtual void request(const QStringList& names, PermissionResultCallback result,
                         PermissionRationaleCallback rationale) = 0;
};

// Grants every name at once and never asks for a rationale.
class DesktopPermissionService final : public PermissionService {
  public:
    void request(const QStringList& names, PermissionResultCallback result,
                 PermissionRationaleCallback rationale) override;
};

}  // namespace pile::platform
