// Engine result codes, the error record and the error log.
//
// Every engine operation returns a signed 32-bit result: 0 or a count for success, a negative
// code for failure. Inside the long builder and aggregation methods a failure travels as an
// exception carrying the object's error record; each method on the way out appends "|" and its
// own name, and the outermost method writes one line to ZBQ_Error.log, clears the record and
// returns the code:
//
//     try { ... KWfail(err, -5, "illegal csv file."); ... }
//     catch (...) { KWpassOn(err, "KW_create::DataSeparate"); }       // inner method
//     ...
//     catch (...) { return KWfinish(err, "KW_create::KWcreate()"); }  // outermost method
//
// KWfail and KWpassOn throw a pointer to the record (KW_error*); handlers catch (...) and read
// the record they own, so a foreign exception (std::bad_alloc, ...) is handled the same way and
// reported as -2 "unknown error." unless the record already holds a message. The codes and their
// meanings are tabled in FORMAT.md.
//
// The error record belongs to one engine object and is used only by the thread running that
// object's operation. The log directory is process-wide and set once at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Result codes with a meaning of their own; other negatives come from MapErrno.
enum : std::int32_t {
    KW_OK = 0,
    KW_ERR_ARGUMENT = -1,    // bad argument; thrown file failures of the CSV reader
    KW_ERR_UNKNOWN = -2,     // "unknown error."
    KW_ERR_NEW_FAILED = -3,  // "new failed." inside a builder
    KW_ERR_DISK_FULL = -4,   // ENOSPC (and EDQUOT): also where a step would give -1 or -5
    KW_ERR_STEP = -5,        // a builder step failed with a message of its own
    KW_ERR_NOT_DATA_FILE = -1001,
    KW_ERR_PASSWORD = -1003,  // also an item number out of range in a search term
    KW_ERR_NO_MEMORY = -1011,
    KW_ERR_SYNTAX = -1020,
    KW_ERR_STACK_FULL = -1022,
};

// The error record: code 0 and an empty message when no error is pending.
struct KW_error {
    std::int32_t code = 0;
    std::string message;  // written to the log cut to 65,535 bytes on a character boundary
    std::string extra;    // the second text area

    void clear() {
        code = 0;
        message.clear();
        extra.clear();
    }
};

// Fills the record and throws it.
[[noreturn]] void KWfail(KW_error& err, std::int32_t code, std::string message);
// Handler of an inner method: an empty message becomes -2 "unknown error."; appends "|" and the
// method name; rethrows the record. Call only inside a catch block.
[[noreturn]] void KWpassOn(KW_error& err, std::string_view method);
// Handler of the outermost method: the same, then logs, clears the record and returns the code.
// Call only inside a catch block.
std::int32_t KWfinish(KW_error& err, std::string_view method);

// The result code of the C file call that just failed, from errno (see the table in the .cpp).
std::int32_t MapErrno();

// The code a builder step fails with when a file call fails with errno `e`: KW_ERR_DISK_FULL for
// a full disk, whatever the step, so the user learns what to do about it; else the step's own
// code `otherwise` (-1 for the column files, -5 for the data file).
std::int32_t KWfileFailure(int e, std::int32_t otherwise);

// The folder of ZBQ_Error.log (the program directory), kept for the whole process.
void KWsetLogDir(const std::string& dir);
// Appends one line "yyyy/mm/dd hh:mm:ss\t<code>\t<message>\r\n" under an exclusive lock, whole
// or not at all; CR, LF and the other control bytes of the message are written as \r, \n and
// \xNN. A new log is 0644 whatever the umask. Every failure inside is silent.
void WriteErrorLog(std::int32_t code, std::string_view message);
