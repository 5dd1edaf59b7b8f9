// The facade over arbitrary bytes: probe, read every field, then clear, add, save and reopen.
#include "growablememorystream.h"
#include "itagfile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    GrowableMemoryStream stream(std::vector<uint8_t>(data, data + size));
    ITagFile *file = CreateTagFile();
    if (file->OpenStream(&stream) == 0) {
        for (int i = 0; i < file->FieldCount(); ++i)
            file->GetField(i);
        file->ClearFields();
        const wchar_t title[] = L"title";
        file->AddField(TagField{-1, 0, 0, sizeof title - 4, const_cast<wchar_t *>(title)});
        const unsigned char png[] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0};
        file->AddField(TagField{-1, 9, 1, sizeof png, const_cast<unsigned char *>(png)});
        // A hostile file may claim audio bytes as its tag, so a reopen may find nothing: it
        // only has to run cleanly.
        if (file->Save() == 0)
            file->OpenStream(&stream);
    }
    DestroyTagFile(file);
    return 0;
}
