// The error record's throw/catch scheme and the errno mapping of failed file calls.
#include "engine/kw_error.h"

#include <cerrno>
#include <new>
#include <utility>

namespace {

// Shared by both handlers: an empty message means the failure carried no record of its own (a
// foreign exception, or a step that threw without filling the record).
void addMethod(KW_error& err, std::string_view method) noexcept {
    // A failure that travelled with a success code would otherwise be reported as success.
    if (err.message.empty() || err.code >= 0) err.code = KW_ERR_UNKNOWN;
    try {
        if (err.message.empty()) err.message = "unknown error.";
        err.message += '|';
        err.message += method;
    } catch (const std::bad_alloc&) {
        // Out of memory: the path stays shorter; the code and the innermost message survive.
    }
}

}  // namespace

void KWfail(KW_error& err, std::int32_t code, std::string message) {
    err.code = code;
    err.message = std::move(message);
    throw &err;
}

void KWpassOn(KW_error& err, std::string_view method) {
    addMethod(err, method);
    throw &err;
}

std::int32_t KWfinish(KW_error& err, std::string_view method) {
    addMethod(err, method);
    const std::int32_t code = err.code;
    WriteErrorLog(code, err.message);
    err.clear();
    return code;
}

std::int32_t MapErrno() {
    const int e = errno;
    switch (e) {
        case 0:
            return 0;
        case EPERM:
            return -21;
        case ENOENT:
            return -2;
        case EIO:
            return -15;
        case EAGAIN:
            return -9;
        case EACCES:
            return -22;
        case ENFILE:
            return -18;
        case EMFILE:
            return -10;
        case ENOSPC:
        case EDQUOT:  // a full quota is a full disk to its user
            return KW_ERR_DISK_FULL;
        default:
            return -100 - e;  // EINVAL too: a failed call never reads as success
    }
}

std::int32_t KWfileFailure(int e, std::int32_t otherwise) {
    return e == ENOSPC || e == EDQUOT ? KW_ERR_DISK_FULL : otherwise;
}
