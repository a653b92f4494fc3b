#include "RelayLog.h"

#include "HostFiles.h"

namespace TestSupport {

std::string ReadRelayLog() {
    return ReadHostFile(HostEnvironment("ONDREL_RELAY_LOG"));
}

bool RelayLogAvailable() {
    return !HostEnvironment("ONDREL_RELAY_LOG").empty();
}

std::vector<std::string> RelayCalls(const std::string& log, const std::string& function) {
    std::vector<std::string> calls;
    const std::string marker = ":Call " + function + "(";
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) {
            end = log.size();
        }
        const std::string line = log.substr(start, end - start);
        if (line.find(marker) != std::string::npos) {
            calls.push_back(line);
        }
        start = end + 1;
    }
    return calls;
}

int CountRelayCalls(const std::string& log, const std::string& function) {
    return static_cast<int>(RelayCalls(log, function).size());
}

} // namespace TestSupport
