#include "uploads/SavedDataRead.h"

#include "gamedata/FileReadError.h"
#include "shell/Form1.h"

namespace hb {

std::optional<std::string> TryLoadSavedData(Form1& form, std::int16_t index, std::wstring& error) {
    try {
        return form.LoadDataFromHardDrive(index);
    } catch (const FileReadError& failure) {
        error = failure.description();
        return std::nullopt;
    }
}

}  // namespace hb
