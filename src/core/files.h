// The reply store's files on the real file system (files_posix.cpp natively, files_win32.cpp on
// Windows).
#pragma once

#include <memory>

#include "core/ports.h"

namespace replybar {

std::unique_ptr<IFiles> makeSystemFiles();

}  // namespace replybar
