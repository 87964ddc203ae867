#ifdef _WIN32

#include "platform/WidePath.h"

#include <windows.h>

namespace travonix {

std::wstring widePath(const std::string& path) {
    if (path.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                            size);
    return wide;
}

} // namespace travonix

#endif
