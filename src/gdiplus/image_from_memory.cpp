#include "gdiplus_linux.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Gdiplus::Linux {

using namespace DllExports;

namespace {

// libgdiplus's loader callbacks carry no context pointer, so the bytes being
// decoded are reached through a per-thread cursor set around the call.
struct MemoryCursor {
    const BYTE* data = nullptr;
    long size = 0;
    long position = 0;
};

thread_local MemoryCursor* currentCursor = nullptr;

int copyOut(BYTE* buffer, int wanted, long from)
{
    const MemoryCursor& cursor = *currentCursor;
    if (wanted <= 0 || from >= cursor.size)
        return 0;
    const long count = std::min<long>(wanted, cursor.size - from);
    std::memcpy(buffer, cursor.data + from, static_cast<size_t>(count));
    return static_cast<int>(count);
}

int getHeader(BYTE* buffer, int size) { return copyOut(buffer, size, 0); }

int getBytes(BYTE* buffer, int size, BOOL peek)
{
    const int count = copyOut(buffer, size, currentCursor->position);
    if (!peek)
        currentCursor->position += count;
    return count;
}

long seek(int offset, int whence)
{
    MemoryCursor& cursor = *currentCursor;
    long target = offset;
    if (whence == SEEK_CUR)
        target += cursor.position;
    else if (whence == SEEK_END)
        target += cursor.size;
    if (target < 0 || target > cursor.size)
        return -1;
    cursor.position = target;
    return target;
}

int putBytes(BYTE*, int) { return -1; }

void close() {}

long size() { return currentCursor->size; }

class DecodedImage : public Image {
public:
    explicit DecodedImage(GpImage* image) : Image(image, Ok) {}
};

} // namespace

Image* LoadImageFromMemory(const BYTE* data, size_t byteCount)
{
    if (!data || byteCount == 0 || byteCount > 0x7FFFFFFF)
        return nullptr;
    MemoryCursor cursor{data, static_cast<long>(byteCount), 0};
    MemoryCursor* const previous = currentCursor;
    currentCursor = &cursor;
    GpImage* image = nullptr;
    const Status status = GdipLoadImageFromDelegate_linux(getHeader, getBytes, putBytes, seek, close, size, &image);
    currentCursor = previous;
    if (status != Ok || !image)
        return nullptr;
    return new DecodedImage(image);
}

} // namespace Gdiplus::Linux
