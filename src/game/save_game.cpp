#include "game/save_game.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "core/console.h"
#include "core/error_report.h"
#include "engine/transposition_table.h"
#include "game/banner.h"
#include "game/game_controller.h"
#include "game/save_check.h"
#include "game/save_layout.h"

namespace tarvex {
namespace {

// Reading stops here: enough to tell a file of either layout from anything longer.
constexpr size_t kReadLimit = static_cast<size_t>(kOldSaveFileSize) + 1;
constexpr mode_t kNewFileMode = 0666;

void SetTitle(GameController& controller, const std::string& name) {
    if (controller.Hooks().title) controller.Hooks().title(name.c_str());
}

void FillSaveImage(const GameController& controller, const SavedSelection& selection,
                   SaveImage& image) {
    const GameOptions& options = controller.Options();
    const GameBlock& block = controller.CurrentGame().block;
    image.current = block.current;
    image.start = block.start;
    image.startEdited = block.startEdited;
    image.engineScore = block.engineScore;
    image.gameKind = block.current.gameKind;
    image.selection = selection;
    image.spread = options.spread;
    image.transparency = selection.view.transparency;
    image.rules = options.rules;
    image.engineSide = options.engineSide;
    image.notation = options.notation;
    image.difficulty = options.difficulty;
    image.scale = selection.view.scale;
    image.projection = selection.view.projection;
    image.xAngle = selection.view.xAngle;
    image.yAngle = selection.view.yAngle;
    image.stopRequest = controller.StopRequested() ? 1 : 0;
    image.tableMegabytes = engine::kDefaultTableMegabytes;
    std::copy(std::begin(block.record), std::end(block.record), std::begin(image.record));
    image.keyHistory = block.keyHistory;
    image.playsBoth = block.playsBoth;
}

// Opens a new temporary file beside name for the save, with the mode the saved file keeps (an
// existing file's, else a new file's). Returns the descriptor, or -1 with errno set; a name
// that is a directory or a device is refused (a rename would replace it).
int OpenTemporary(const std::string& name, std::string& temporary) {
    struct stat existing;
    const bool exists = ::stat(name.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    temporary = name + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return -1;
    if (exists) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, kNewFileMode & ~mask);
    }
    return fd;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Writes the bytes, flushes them to the disk and renames the temporary file into place.
bool Commit(int fd, const std::string& temporary, const std::string& name,
            const std::vector<uint8_t>& bytes) {
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok && ::rename(temporary.c_str(), name.c_str()) == 0;
}

// Reads at most kReadLimit bytes of the file; size becomes the file's length (beyond the limit
// when a regular file is longer). False with errno set when the file cannot be read.
bool ReadSaveFile(const std::string& name, std::vector<uint8_t>& bytes, size_t& size) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    const int error = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return false;
    }
    bytes.resize(kReadLimit);
    size_t count = 0;
    while (count < kReadLimit) {
        const ssize_t got = ::read(fd, bytes.data() + count, kReadLimit - count);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int readError = errno;
            ::close(fd);
            errno = readError;
            return false;
        }
        if (got == 0) break;
        count += static_cast<size_t>(got);
    }
    ::close(fd);
    bytes.resize(count);
    size = count;
    if (count == kReadLimit && S_ISREG(info.st_mode))
        size = std::max(count, static_cast<size_t>(info.st_size));
    return true;
}

bool RestoreBytes(GameController& controller, const std::string& name, const uint8_t* bytes,
                  size_t size, SavedSelection& selection) {
    GameController::EnginePause pause(controller);
    ConsolePrint("\nRestore game ...");
    bool restored = false;
    auto image = std::make_unique<SaveImage>();
    if (!DecodeSaveImage(bytes, size, *image)) {
        ConsolePrint(" failed! unrecognized file type: %d sos: %d",
                     static_cast<int>(std::min<size_t>(size, INT32_MAX)), kSaveFileSize);
        ErrorReport(kUnstable, "Cannot autoconvert file - halting");
    } else {
        std::string problem = CheckSaveImage(*image);
        if (problem.empty()) problem = ReplaySaveImage(*image);
        if (problem.empty()) {
            controller.RestoreImage(*image);
            // The rebuild of a game from the standard start clears the selection, as every
            // undo does; a game from an edited start keeps the file's.
            selection = image->startEdited != 0 ? image->selection : SavedSelection{};
            selection.view = SavedView{image->transparency, image->projection, image->scale,
                                       image->xAngle, image->yAngle};
            restored = true;
        } else {
            ConsolePrint("\nrefused: %s", problem.c_str());
        }
    }
    PrintBanner();
    if (restored) SetTitle(controller, name);
    ConsolePrint("complete!\n");
    return restored;
}

}  // namespace

void PrintSystemError(const std::string& name, int error) {
    ConsolePrint("%s: %s\n", name.c_str(), std::strerror(error));
}

std::vector<uint8_t> SaveGameBytes(const GameController& controller,
                                   const SavedSelection& selection) {
    std::vector<uint8_t> bytes(kSaveFileSize);
    auto image = std::make_unique<SaveImage>();
    FillSaveImage(controller, selection, *image);
    EncodeSaveImage(*image, bytes.data());
    return bytes;
}

bool SaveGame(GameController& controller, const std::string& name, const SavedSelection& selection,
              bool cancelled) {
    const std::vector<uint8_t> bytes = SaveGameBytes(controller, selection);
    std::string temporary;
    const int fd = cancelled ? -1 : OpenTemporary(name, temporary);
    if (fd < 0) {
        PrintSystemError(name, cancelled ? ECANCELED : errno);
        ConsolePrint("\ncan't open save file %s\n", name.c_str());
        return false;
    }
    ConsolePrint("\nSaving %s ...", name.c_str());
    // The old file stays as it was until the new one is complete on the disk.
    if (!Commit(fd, temporary, name, bytes)) {
        ConsolePrint("failed\n");
        ::unlink(temporary.c_str());
        return false;
    }
    ConsolePrint("complete\n");
    SetTitle(controller, name);
    return true;
}

bool RestoreGame(GameController& controller, const std::string& name, SavedSelection& selection,
                 bool cancelled) {
    std::vector<uint8_t> bytes;
    size_t size = 0;
    if (cancelled || !ReadSaveFile(name, bytes, size)) {
        const int error = cancelled ? ECANCELED : errno;
        ErrorReport(kStable, "can't open restore file");
        PrintSystemError(name, error);
        return false;
    }
    // A file longer than any layout is reported with its length and read no further: its size
    // is then no layout's, so nothing past the bytes read is looked at.
    return RestoreBytes(controller, name, bytes.data(), size, selection);
}

bool RestoreGameBytes(GameController& controller, const std::string& name, const uint8_t* bytes,
                      size_t size, SavedSelection& selection) {
    return RestoreBytes(controller, name, bytes, size, selection);
}

}  // namespace tarvex
