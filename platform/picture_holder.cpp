#include "platform/picture_holder.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "platform/file_block.h"
#include "platform/resource.h"
#include "platform/system_library.h"

namespace platform {

namespace {
// {7BF80980-BF32-101A-8BBB-00AA00300CAB}, spelled out so that no uuid library is needed.
const IID kPictureInterface = {
    0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

using CreateStreamFn = HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**);
using LoadPictureFn = HRESULT(WINAPI*)(IStream*, LONG, BOOL, REFIID, void**);
}  // namespace

PictureHolder::~PictureHolder() { Release(); }

void PictureHolder::Release() {
    // A reload releases the earlier picture too, not only its stream: nothing is kept twice.
    if (picture_) picture_->Release();
    if (stream_) stream_->Release();
    picture_ = nullptr;
    stream_ = nullptr;
    loaded = 0;
}

bool PictureHolder::LoadFromMemory(const unsigned char* bytes, int32_t length) {
    Release();
    if (length <= 0 || !bytes) return false;
    static const auto createStream =
        platform::SystemFunction<CreateStreamFn>(L"ole32.dll", "CreateStreamOnHGlobal");
    static const auto loadPicture =
        platform::SystemFunction<LoadPictureFn>(L"oleaut32.dll", "OleLoadPicture");
    if (!createStream || !loadPicture) return false;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length));
    if (!block) return false;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(target, bytes, static_cast<size_t>(length));
    GlobalUnlock(block);
    // The stream frees the block when it is released.
    if (FAILED(createStream(block, TRUE, &stream_)) || !stream_) {
        stream_ = nullptr;
        GlobalFree(block);
        return false;
    }
    void* picture = nullptr;
    if (FAILED(loadPicture(stream_, length, TRUE, kPictureInterface, &picture)) || !picture)
        return false;
    picture_ = static_cast<IPicture*>(picture);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    widthHimetric = width;
    heightHimetric = height;
    loaded = 1;
    return true;
}

bool PictureHolder::LoadFromFile(const wchar_t* path, int32_t length, int32_t offset) {
    platform::RawFile file;
    file.OpenRead(path);
    return LoadFromFile(file, length, offset);
}

bool PictureHolder::LoadFromFile(platform::RawFile& file, int32_t length, int32_t offset) {
    int64_t count = length;
    auto bytes = platform::ReadFileBlock(file, &count, offset);
    if (!bytes) {
        Release();
        return false;
    }
    return LoadFromMemory(bytes.get(), static_cast<int32_t>(count));
}

bool PictureHolder::LoadFromResource(int id, const char* type) {
    uint32_t size = 0;
    const unsigned char* bytes = platform::LoadResourceBlock(id, type, &size);
    if (!bytes) {
        Release();
        return false;
    }
    return LoadFromMemory(bytes, static_cast<int32_t>(size));
}

bool PictureHolder::Draw(HDC dc, int x, int y, int width, int height) const {
    if (!loaded || !picture_) return false;
    // HIMETRIC runs bottom-up: starting at the source's bottom with a negative height turns it
    // right side up.
    picture_->Render(dc, x, y, width, height, 0, heightHimetric, widthHimetric, -heightHimetric,
                     nullptr);
    return true;
}

}  // namespace platform
