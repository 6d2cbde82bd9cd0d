// The benchmark's data: a questionnaire of 20 items, generated deterministically at any size.
//
// Every record is drawn from its own random stream, seeded by (seed, record number), so a file
// of 100k records is exactly the first 100k records of the 1M file, and any record can be made
// again alone. The items cover every type: forced-choice Code items of 2 to 5 codes (no blank,
// no error), Code items of 20 and 48 codes, two MultiAns items, Integer (a unique ID and an age
// of 98 values), Float, String (CP932 names and free text), Date and Time, with blanks and
// errors at the rates of questionnaireItems(). Texts and names are CP932 bytes.
//
// The source is a tab-separated text with a heading line, as a definition file describes it
// (writeDefinition), the builder reads it (describe) and a table loader or read_csv takes it
// (writeItemsJson gives the types and code lists to tools outside the engine).
//
// Pure functions and constant tables; thread-safe. File writers go through a temporary file
// and a rename and return 0 or an errno.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class KW_create;

namespace zbq::bench {

// Item numbers, in source column order.
enum Item : std::int32_t {
    kId,            // Integer, unique 1..R
    kGender,        // Code 2
    kMarried,       // Code 2
    kChildren,      // Code 3
    kHousing,       // Code 3
    kCar,           // Code 2
    kSmoking,       // Code 3
    kDrinking,      // Code 3
    kExercise,      // Code 3
    kSatisfaction,  // Code 5
    kOccupation,    // Code 20, blanks and errors
    kPrefecture,    // Code 48 ("01".."47", "99"): 50 dictionary positions
    kHobbies,       // MultiAns 12
    kMedia,         // MultiAns 8
    kAge,           // Integer 15..112: 100 dictionary positions
    kScore,         // Float 0.0..100.0 in tenths
    kName,          // String, CP932 names
    kComment,       // String, free text, mostly blank
    kAnswerDate,    // Date 2020/1/1..2024/12/31
    kAnswerTime,    // Time
    kItemCount
};

struct CodeDef {
    std::string code;
    std::string name;  // CP932
};

struct ItemDef {
    std::string name;   // CP932
    std::int32_t type;  // KWType
    std::vector<CodeDef> codes;
    double blankRate;  // share of records left empty (MultiAns: the whole field)
    double errorRate;  // share of records holding a text the type refuses
};

// The 20 items in column order.
const std::vector<ItemDef>& questionnaireItems();

inline constexpr std::uint64_t kDefaultSeed = 20240401;

// A record count as the commands take it: "1000000", "100k", "1M", "10M". false for anything
// else, a negative count or one above 2,000,000,000.
bool parseRecordCount(std::string_view text, std::int64_t& out);

// The heading line: the item names, TAB-separated, with its LF.
void appendHeader(std::string& out);
// Record r's line with its LF.
void appendRecord(std::string& out, std::uint64_t seed, std::int64_t record);

// The source text of `records` records (heading line included) at `path`. Gives the byte size
// through `bytes` when asked. 0 or an errno.
int writeSource(const std::string& path, std::int64_t records, std::uint64_t seed,
                std::int64_t* bytes = nullptr);
// The definition file of the source (title, items, types, code lists), CP932 with CR LF.
int writeDefinition(const std::string& path);
// The items as JSON for tools outside the engine: UTF-8 names, type words, code texts.
int writeItemsJson(const std::string& path);

// Describes the questionnaire to the builder: items, codes and title.
void describe(KW_create& create);

}  // namespace zbq::bench
