#include "shell/registry_apply_win32.h"

#include "common/win32_handles.h"

namespace pm::win {
namespace {

LONG SetNamedValue(HKEY key, const RegOp& op) {
    if (op.type == RegType::Dword) {
        const DWORD value = op.dword;
        return ::RegSetValueExW(key, op.valueName.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    // Characters plus the terminating null, two bytes each.
    const DWORD bytes = static_cast<DWORD>((op.text.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, op.valueName.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(op.text.c_str()), bytes);
}

}  // namespace

LONG ApplyRegOp(const RegOp& op, const RegRoots& roots) {
    const HKEY root = roots[static_cast<size_t>(op.root)];
    switch (op.kind) {
        case RegOpKind::SetDefault:
            return ::RegSetValueW(root, op.key.c_str(), REG_SZ, op.text.c_str(),
                                  static_cast<DWORD>(op.text.size() * sizeof(wchar_t)));
        case RegOpKind::SetNamedIfOpens: {
            RegKey key;
            const REGSAM access = op.access == RegAccess::SetValue ? KEY_SET_VALUE : KEY_ALL_ACCESS;
            const LONG status = ::RegOpenKeyExW(root, op.key.c_str(), 0, access, key.Put());
            return status == ERROR_SUCCESS ? SetNamedValue(key.Get(), op) : status;
        }
        case RegOpKind::CreateKey: {
            RegKey key;
            return ::RegCreateKeyW(root, op.key.c_str(), key.Put());
        }
        case RegOpKind::CreateAndSetNamed: {
            RegKey key;
            const LONG status = ::RegCreateKeyW(root, op.key.c_str(), key.Put());
            return status == ERROR_SUCCESS ? SetNamedValue(key.Get(), op) : status;
        }
        case RegOpKind::DeleteKey:
            return ::RegDeleteKeyW(root, op.key.c_str());
    }
    return ERROR_INVALID_PARAMETER;
}

void ApplyRegistryPlan(const std::vector<RegOp>& ops, const RegRoots& roots) {
    for (const RegOp& op : ops) ApplyRegOp(op, roots);
}

}  // namespace pm::win
