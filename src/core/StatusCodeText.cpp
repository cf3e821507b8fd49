#include "core/StatusCodeText.h"

#include <cstdint>

namespace core {

QString StatusCodeText(long code) {
    // The Internet error codes are 32-bit HRESULTs; the engine may hand them on sign-extended
    // or not, so only their 32 bits count.
    switch (static_cast<std::int32_t>(static_cast<std::uint32_t>(code))) {
    case -2146697210: // 0x800C0006
        return QStringLiteral(
            "The site reports that the item you requested could not be found. (HTTP/1.0 404)");
    case -2146697211: // 0x800C0005
        return QStringLiteral("Cannot locate the Internet server or proxy server.");
    default:
        break;
    }
    // HTTP statuses only as themselves: a larger number that merely ends in the same bits is no
    // HTTP status.
    if (code < INT16_MIN || code > INT16_MAX) return QString();
    switch (static_cast<std::int16_t>(code)) {
    case 400:
        return QStringLiteral("Invalid syntax.");
    case 401:
        return QStringLiteral("Access denied.");
    case 402:
        return QStringLiteral("Payment required.");
    case 403:
        return QStringLiteral("Request forbidden.");
    case 404:
        return QStringLiteral("Object not found.");
    case 405:
        return QStringLiteral("Method is not allowed.");
    case 406:
        return QStringLiteral("No response acceptable to client found.");
    case 407:
        return QStringLiteral("Proxy authentication required.");
    case 408:
        return QStringLiteral("Server timed out waiting for request.");
    case 409:
        return QStringLiteral("User should resubmit with more info.");
    case 410:
        return QStringLiteral("Resource is no longer available.");
    case 411:
        return QStringLiteral("Server refused to accept request without a length.");
    case 412:
        return QStringLiteral("Precondition given in request failed.");
    case 413:
        return QStringLiteral("Request entity was too large.");
    case 414:
        return QStringLiteral("Request Uniform Resource Identifier (URI) too long.");
    case 415:
        return QStringLiteral("Unsupported media type.");
    case 449:
        return QStringLiteral("Retry after doing the appropriate action.");
    case 500:
        return QStringLiteral("Internal server error.");
    case 501:
        return QStringLiteral("Server does not support the functionality required to fulfill the request.");
    case 502:
        return QStringLiteral("Error response received from gateway.");
    case 503:
        return QStringLiteral("Temporarily overloaded.");
    case 504:
        return QStringLiteral("Timed out waiting for gateway.");
    case 505:
        return QStringLiteral("HTTP version not supported.");
    default:
        return QString();
    }
}

} // namespace core
