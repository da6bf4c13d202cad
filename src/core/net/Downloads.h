#pragma once

namespace hb {

// Whether an HTTP status is a successful answer whose body is the content.
bool IsSuccessStatus(int status);

}  // namespace hb
