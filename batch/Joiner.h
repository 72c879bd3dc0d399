// TJoiner: a joined batch's files put one after the other into one file once they are
// converted, by the encoder copying their streams. The joined file is written under a working
// name and takes its own only when it is whole; the parts then go. Whatever ends it early (a
// failure, the user's stop, the program's end) leaves no half-joined file and keeps the parts.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "encode/Join.h"
#include "encode/TargetLogic.h"
#include "framework/handles.h"

class TAdvancedTimer;

namespace batch {

struct JoinJob {
    std::string encoder;
    std::string joined;        // the joined file's path, claimed for it
    bool mayReplace = false;   // whether a file at that path is replaced
    encode::Target target = encode::Target::Mpeg;
    std::string workFolder;    // for the encoder's list and what it says
    // Told of the temporary it writes (true) and when it is gone or taken up (false).
    std::function<void(const std::string& temporary, bool writing)> writing{};
};

struct JoinResult {
    bool made = false;
    std::string failure{};  // why it was not
    std::string joined{};   // the joined file
};

// What the record of outputs names as the joined file's input.
inline constexpr const char* kJoinedInput = "<the batch's files joined>";

class TJoiner {
public:
    TJoiner() = default;
    // Ends the join where it is: nothing of the joined file is left.
    ~TJoiner();
    TJoiner(const TJoiner&) = delete;
    TJoiner& operator=(const TJoiner&) = delete;

    // A converted file, a part at its place in the queue (`order`).
    void AddPart(int order, encode::JoinPart part) { parts_.emplace_back(order, std::move(part)); }
    int Parts() const { return static_cast<int>(parts_.size()); }
    // The parts' places in the queue, in the joined file's order once it has started.
    std::vector<int> PartOrder() const;
    // Starts the encoder; OnEnd says how it ended, never from inside Start.
    void Start(JoinJob job);
    // How far it is, from 0 to 1: the bytes written of the parts' bytes.
    double Share() const;
    // The encoder is ended and what it wrote goes.
    void Abandon();

    std::function<void(const JoinResult&)> OnEnd;
    std::function<void()> OnProgress;  // about twice a second

private:
    // Writes the list and starts the encoder: why it could not, or empty.
    std::string Launch();
    void Joined();
    void End(JoinResult result);
    void RemoveWork();

    JoinJob job_;
    std::vector<std::pair<int, encode::JoinPart>> parts_;  // by their place in the queue
    std::string written_, list_, log_;
    std::int64_t partBytes_ = 0;
    std::string failure_;  // a start that failed, said at the first tick
    fw::unique_handle process_;
    TAdvancedTimer* timer_ = nullptr;
    bool ended_ = false;
};

}  // namespace batch
