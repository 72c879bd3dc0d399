// TOutputs: each row's output, its claim and the record of what was saved.
#include "batch/Outputs.h"

#include <algorithm>
#include <utility>

#include "batch/OutputNames.h"
#include "batch/OutputRecord.h"
#include "framework/Files.h"
#include "framework/LaunchLogic.h"

namespace batch {

namespace {

// A subfolder of a tree, each level of it a name Windows does not open as a device.
std::string SubfolderOutsideDevices(const std::string& subfolder)
{
    std::string safe;
    for (std::size_t start = 0; start <= subfolder.size();) {
        const std::size_t end = std::min(subfolder.find('\\', start), subfolder.size());
        if (start != 0) safe += '\\';
        safe += OutsideDevices(subfolder.substr(start, end - start));
        start = end + 1;
    }
    return safe;
}

}  // namespace

TOutputs::TOutputs(const BatchSetup& setup)
    : setup_(setup), claims_(std::make_shared<TOutputClaims>(&fw::SamePath)),
      record_(std::make_unique<TOutputRecord>(setup.outputRecord))
{
}

TOutputs::~TOutputs() = default;

MeantOutput MeantOutputFor(const Choices& choices, const std::string& outputFolder, const std::string& input,
                           const std::string& subfolder, int number)
{
    MeantOutput meant;
    std::string folder = outputFolder;
    if (!choices.besideInput) {
        if (!subfolder.empty()) folder += "\\" + SubfolderOutsideDevices(subfolder);
    } else if (const std::string own = fw::FolderPart(input, fw::IsLeadByte); fw::CanWriteIn(own)) {
        folder = own;
    } else {
        meant.note = "Its own folder could not be written, so it was saved in the output folder.";
    }
    const std::string name = OutputFileName(choices.outputName, {input, fw::ModifiedDate(input), choices.target, number}, fw::IsLeadByte);
    meant.path = OutputPathFor(folder, name);
    return meant;
}

OutputPlace TOutputs::Place(const MeantOutput& meantOutput, const std::string& input, const std::string& subfolder)
{
    const Choices& choices = setup_.choices;
    OutputPlace place{.note = meantOutput.note};
    const std::string& meant = meantOutput.path;
    if (!WithinPathLimits(fw::ExtendedPath(meant))) return place;
    // In the output folder under the default name, a file of the name is taken for the
    // program's own (that is where it writes, and where users look for its files); anywhere
    // else only one its record says it made from this input. Replace and skip apply to those;
    // any other keeps its name, and so does any under keep.
    const bool usual = !choices.besideInput && subfolder.empty() && choices.outputName == kDefaultOutputName;
    const bool keep = choices.ifExists == encode::IfExists::Keep;
    auto held = [&](const std::string& candidate) {
        return fw::FileExists(candidate) && (keep || !(usual || record_->MadeFrom(candidate, input)));
    };
    place.path = claims_->Claim(meant, input);  // never another input's of this run
    if (held(place.path)) {
        claims_->Release(place.path);
        const std::string other = std::exchange(place.path, claims_->Claim(meant, input, held));
        if (!keep) place.note = JoinNotes(place.note, ForeignFileNote(other, place.path, fw::IsLeadByte));
    }
    const bool exists = fw::FileExists(place.path);
    place.skipped = exists && choices.ifExists == encode::IfExists::Skip;
    // A file that comes meanwhile under a name that was free is replaced only there.
    place.mayReplace = exists || usual;
    return place;
}

void TOutputs::Ended(const std::string& output, const std::string& savedAs, const std::string& input, bool converted)
{
    claims_->Written(output);
    if (savedAs.empty()) return;
    claims_->Written(savedAs);
    if (converted) record_->Add(savedAs, input);
}

}  // namespace batch
