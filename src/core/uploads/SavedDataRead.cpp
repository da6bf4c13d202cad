#include "uploads/SavedDataRead.h"

#include <exception>

#include "shell/Form1.h"

namespace hb {

std::optional<std::string> TryLoadSavedData(Form1& form, std::int16_t index, std::wstring& error) {
    try {
        return form.LoadDataFromHardDrive(index);
    } catch (const std::exception& failure) {
        const std::string what = failure.what();
        error.assign(what.begin(), what.end());
        return std::nullopt;
    }
}

}  // namespace hb
