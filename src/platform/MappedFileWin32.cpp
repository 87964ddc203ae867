#ifdef _WIN32

#include "platform/MappedFile.h"
#include "platform/WidePath.h"

#include <windows.h>

namespace travonix {

namespace {

// Pages done with are left to the system: Windows trims a view's pages from
// the working set by itself when memory runs short.
class View : public ListingText::Holder {
  public:
    explicit View(const void* start) : start_(start) {}
    ~View() override { UnmapViewOfFile(start_); }
    View(const View&) = delete;
    View& operator=(const View&) = delete;

  private:
    const void* start_;
};

} // namespace

std::optional<ListingText> mapFileReadOnly(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return std::nullopt;
    const std::wstring wide = widePath(path);
    if (wide.empty())
        return std::nullopt;
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        CloseHandle(file);
        return std::nullopt;
    }
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    CloseHandle(file); // the mapping keeps the file
    if (mapping == nullptr)
        return std::nullopt;
    const void* start = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping); // the view keeps the mapping
    if (start == nullptr)
        return std::nullopt;
    auto view = std::make_shared<const View>(start);
    return ListingText(
        std::string_view(static_cast<const char*>(start), static_cast<std::size_t>(size.QuadPart)),
        std::move(view));
}

} // namespace travonix

#endif
