// The image's order and layout, for disc/DiscImage.h. Sectors 16 and 17 hold ISO 9660's
// descriptors, 18 to 20 announce UDF, 32 and 48 UDF's two volume descriptor sequences, 64 its
// integrity, 256 its anchor; after it ISO 9660's path tables and folders; then UDF's partition
// with its file set, folders and file entries, and the files.
#include "disc/DiscImage.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "disc/ImageParts.h"

namespace disc {

std::vector<DiscFile> DvdOrder(std::vector<DiscFile> files)
{
    // VIDEO_TS before VTS_; within a set its IFO, its VOBs by number (VTS_01_2 before
    // VTS_01_10), its BUP.
    auto key = [](const DiscFile& f) {
        const std::string& n = f.name;
        const bool vts = n.rfind("VTS_", 0) == 0 && n.size() > 8;
        const int set = vts ? std::atoi(n.c_str() + 4) : 0;
        const int number = vts ? std::atoi(n.c_str() + 7) : 0;
        const std::string ext = n.size() >= 3 ? n.substr(n.size() - 3) : n;
        const int rank = ext == "IFO" ? 0 : ext == "VOB" ? 1 : 2;
        return std::tuple(!vts && n.rfind("VIDEO_TS", 0) != 0, set, rank, number, n);
    };
    std::sort(files.begin(), files.end(), [&](const DiscFile& a, const DiscFile& b) { return key(a) < key(b); });
    return files;
}

namespace {

using namespace image;

Layout LayOut(DiscImagePlan& plan)
{
    Layout l;
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        l.isoFiles.push_back({plan.files[i].name, 0, static_cast<std::uint32_t>(plan.files[i].size), false});
        l.udfFiles.push_back({plan.files[i].name, 0, static_cast<std::uint32_t>(16 + 3 + i), false});
    }
    l.isoVideoSectors = IsoFolderSectors(l.isoFiles);
    l.partition = Layout::isoVideo + l.isoVideoSectors;
    l.videoLength = FolderDataLength(l.udfFiles);
    l.firstFileEntry = Layout::videoData + SectorsFor(static_cast<std::int64_t>(l.videoLength));
    std::uint32_t next = l.firstFileEntry + static_cast<std::uint32_t>(plan.files.size());
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        l.dataBlock.push_back(next);
        plan.fileSector.push_back(l.partition + next);
        l.isoFiles[i].sector = l.partition + next;
        l.udfFiles[i].entryBlock = l.firstFileEntry + static_cast<std::uint32_t>(i);
        next += SectorsFor(plan.files[i].size);
    }
    std::sort(l.udfFiles.begin(), l.udfFiles.end(), [](const UdfChild& a, const UdfChild& b) { return a.name < b.name; });
    l.partitionLength = next;
    plan.sectors = l.partition + l.partitionLength + 1;
    return l;
}

}  // namespace

DiscImagePlan PlanDiscImage(const std::string& name, const std::vector<DiscFile>& videoTs, const DiscTime& t)
{
    DiscImagePlan plan;
    plan.files = DvdOrder(videoTs);
    const Layout layout = LayOut(plan);
    plan.head.assign((layout.partition + layout.firstFileEntry + plan.files.size()) * kSector, 0);
    plan.tail.assign(kSector, 0);
    TSectors sectors(plan.head), tail(plan.tail), partition(plan.head, layout.partition * kSector);
    const std::u16string udfName = Utf16(name);
    IsoVolume(sectors, name, layout, plan, t);
    UdfVolume(sectors, tail, udfName, layout, plan, t);
    UdfFiles(partition, udfName, layout, plan, t);
    return plan;
}

std::int64_t DiscImageOverhead(int files)
{
    // The descriptive sectors (about 270, a folder's entries more for every 40 files) and,
    // for each file, its entry, its identifier and its last sector half filled on average.
    return (300 + files / 40) * kSector + static_cast<std::int64_t>(files) * (kSector + 48 + kSector / 2) + kSector;
}

}  // namespace disc

