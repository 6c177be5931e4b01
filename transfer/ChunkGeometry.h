#pragma once

#include "device/CommandFrames.h"
#include "edid/EdidImage.h"

#include <cstddef>

// How the runs cut the 256-byte table: a read asks for it in 16-byte chunks,
// a write sends it in chunks of the block write request's 8 data bytes.
inline constexpr std::size_t kReadChunkLength = 16;
inline constexpr int kReadChunkCount = static_cast<int>(kEdidSize / kReadChunkLength);
inline constexpr std::size_t kWriteChunkLength = frames::kBlockWriteDataLength;
inline constexpr int kWriteChunkCount = static_cast<int>(kEdidSize / kWriteChunkLength);
