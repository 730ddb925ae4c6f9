// Where the update's steps report their numbered statuses (message number, the text that fills
// its "%s", status code, error code). The client routes them to the log file and its OnStatus.
#pragma once

#include <functional>
#include <string>

namespace update {

using StatusSink =
    std::function<void(int number, const std::string& argument, int status_code, int error_code)>;

}  // namespace update
