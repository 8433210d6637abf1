#pragma once
// What the image vision and the blob picker share about pictures: their files, the preview
// window and the states of the picture menus.

#include "platform/controls/Menus.h"
#include "runtime/std/BlobVisions.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zv::blobdetail {

// The decoded picture of bytes; EInvalidGraphic (the codec's or "Unknown picture format")
// when they are no picture the codecs read.
std::unique_ptr<TBitmap> DecodeOrThrow(std::span<const std::uint8_t> bytes);

// Asks for a picture file in the open-picture dialog; true with bytes := the file's own bytes
// (none for an empty picture). A file that does not decode raises and leaves bytes alone.
bool LoadPictureFile(std::vector<std::uint8_t>& bytes);
// Asks for a file name and writes the picture there: the bytes themselves when the name's
// extension is their format (or names none the codecs write), else encoded as it says.
void SavePictureFile(std::span<const std::uint8_t> bytes);
// The modal preview window of bitmap.
void PreviewPicture(TBitmap& bitmap);

// The enabled and visible states of a picture menu (items tagged 1 to 7, separators between).
// stored: bytes are there, readable or not; a picture the codecs cannot read can only be
// replaced or cleared.
void UpdatePictureMenu(TPopupMenu& menu, std::span<const std::uint8_t> bytes, bool canModify, bool hasMain,
                       TfvImgDisabledActions disabled);

}  // namespace zv::blobdetail
