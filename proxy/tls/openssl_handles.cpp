#include "proxy/tls/openssl_handles.h"

#include <openssl/err.h>

#include <stdexcept>

namespace kiosk {

void ThrowOpenSslFailure(const std::string& what) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) throw std::runtime_error(what);
    char reason[256];
    ERR_error_string_n(code, reason, sizeof reason);
    throw std::runtime_error(what + ": " + reason);
}

}  // namespace kiosk
