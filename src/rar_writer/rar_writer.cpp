#include "rar_writer/rar_writer.h"

#include "rar_writer/rar_blocks.h"

#include <algorithm>
#include <fstream>
#include <vector>

using namespace rar_blocks;

namespace {

// The in-memory writer's outputs: a standard stream, or a string.
class StreamOutput : public RarOutput {
 public:
  explicit StreamOutput(std::ostream& out) : out_(out) {}
  bool Write(const char* data, std::size_t size) override {
    return static_cast<bool>(out_.write(data, static_cast<std::streamsize>(size)));
  }
  bool Overwrite(std::uint64_t offset, const char* data, std::size_t size) override {
    const std::ostream::pos_type end = out_.tellp();
    out_.seekp(static_cast<std::streamoff>(offset));
    Write(data, size);
    out_.seekp(end);
    return static_cast<bool>(out_);
  }

 private:
  std::ostream& out_;
};

struct StringOutput : RarOutput {
  bool Write(const char* data, std::size_t size) override {
    Bytes.append(data, size);
    return true;
  }
  bool Overwrite(std::uint64_t offset, const char* data, std::size_t size) override {
    if (offset > Bytes.size() || size > Bytes.size() - offset) return false;
    Bytes.replace(static_cast<std::size_t>(offset), size, data, size);
    return true;
  }
  std::string Bytes;
};

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::string VolumeName(const std::string& base, std::size_t index, std::size_t count,
                       bool newNaming) {
  if (newNaming) {
    std::string number = std::to_string(index + 1);
    const std::size_t width = std::to_string(count).size();
    return base + ".part" + std::string(width - number.size(), '0') + number + ".rar";
  }
  if (index == 0) return base + ".rar";
  const std::size_t n = index - 1;  // .r00 ... .r99, then .s00 ...
  return base + "." + static_cast<char>('r' + n / 100) + static_cast<char>('0' + n / 10 % 10) +
         static_cast<char>('0' + n % 10);
}

// Builds the volumes of a set in memory, entry part after entry part.
class VolumeBuilder {
 public:
  VolumeBuilder(std::size_t volumeDataSize, bool newNaming)
      : volumeDataSize_(volumeDataSize),
        mainFlags_(kMainVolume | (newNaming ? kMainNewNaming : 0)) {
    Begin();
  }

  void Add(const RarWriterEntry& entry) {
    const std::string& data = entry.Directory ? kNoData : entry.Data;
    std::size_t done = 0;
    do {
      if (left_ == 0 && done < data.size()) NextVolume();
      const std::size_t take = std::min(left_, data.size() - done);
      EntryPart part{take, data.size(), 0, 0};
      if (done > 0) part.SplitFlags |= kFileSplitBefore;
      if (done + take < data.size()) part.SplitFlags |= kFileSplitAfter;
      part.Crc = part.SplitFlags & kFileSplitAfter ? RarCrc32(data.substr(done, take))
                                                   : (entry.Directory ? 0 : RarCrc32(data));
      volumes_.back() += PartHeader(entry, part) + data.substr(done, take);
      done += take;
      left_ -= take;
    } while (done < data.size());
  }

  std::vector<std::string> Finish() {
    volumes_.back() += BlockHeader(kEndBlock, kEndFlags, std::string());
    return volumes_;
  }

 private:
  void Begin() {
    const std::uint16_t first = volumes_.empty() ? kMainFirstVolume : 0;
    volumes_.push_back(std::string(kSignature, kSignatureSize) +
                       BlockHeader(kMainBlock, mainFlags_ | first, std::string(6, '\0')));
    left_ = volumeDataSize_;
  }
  void NextVolume() {
    volumes_.back() += BlockHeader(kEndBlock, kEndFlags | kEndNextVolume, std::string());
    Begin();
  }

  static const std::string kNoData;
  std::size_t volumeDataSize_;
  std::uint16_t mainFlags_;
  std::size_t left_ = 0;
  std::vector<std::string> volumes_;
};

const std::string VolumeBuilder::kNoData;

// A file entry with nothing special about it.
RarWriterEntry PlainFile(const std::string& name, const std::string& data) {
  RarWriterEntry entry;
  entry.Name = name;
  entry.Data = data;
  return entry;
}

}  // namespace

RarWriter& RarWriter::AddFile(const std::string& name, const std::string& data) {
  return Add(PlainFile(name, data));
}

RarWriter& RarWriter::AddDirectory(const std::string& name) {
  RarWriterEntry entry;
  entry.Name = name;
  entry.Directory = true;
  return Add(entry);
}

std::string RarWriter::FileHeader(const RarWriterEntry& entry) { return EntryHeader(entry); }

RarWriterEntry EntryWithBadDataChecksum(const std::string& name, const std::string& data) {
  RarWriterEntry entry = PlainFile(name, data);
  entry.BadDataCrc = true;
  return entry;
}

RarWriterEntry EntryWithBadHeaderChecksum(const std::string& name, const std::string& data) {
  RarWriterEntry entry = PlainFile(name, data);
  entry.BadHeaderCrc = true;
  return entry;
}

RarWriterEntry EncryptedEntry(const std::string& name, const std::string& data) {
  RarWriterEntry entry = PlainFile(name, data);
  entry.Encrypted = true;
  return entry;
}

RarWriterEntry EntryClaimingSize(const std::string& name, std::uint64_t size) {
  RarWriterEntry entry = PlainFile(name, std::string());
  entry.DeclaredSize = size;
  return entry;
}

RarWriterEntry EntryWithWrappingSize(const std::string& name) {
  // Over 4 GiB first, so the header takes its 64-bit fields and has its final length.
  RarWriterEntry entry = EntryClaimingSize(name, 0x100000000ull);
  entry.DeclaredSize = 0 - std::uint64_t(EntryHeader(entry).size());
  return entry;
}

RarWriter& RarWriter::Add(const RarWriterEntry& entry) {
  items_.push_back({true, entry, std::string(), std::string()});
  return *this;
}

RarWriter& RarWriter::AddOtherBlock(std::uint8_t type, const std::string& extra,
                                    const std::string& data) {
  std::string body;
  std::uint16_t flags = 0;
  if (!data.empty()) {
    flags = kHasAddSize;
    Put32(body, static_cast<std::uint32_t>(data.size()));
  }
  items_.push_back({false, RarWriterEntry(), BlockHeader(type, flags, body + extra), data});
  return *this;
}

void RarWriter::WriteTo(RarOutput& output) const {
  RarStreamWriter writer(output);
  writer.Start(mainFlags_, badMainCrc_);
  for (const Item& item : items_) {
    if (item.IsEntry) {
      writer.Add(item.Entry);
    } else {
      writer.AddRaw(item.Header + item.Data);
    }
  }
  writer.Finish();
}

void RarWriter::Write(std::ostream& out) const {
  StreamOutput output(out);
  WriteTo(output);
}

std::string RarWriter::Bytes() const {
  StringOutput output;
  WriteTo(output);
  return output.Bytes;
}

std::vector<std::string> RarWriter::SaveVolumes(const std::string& base, std::size_t volumeDataSize,
                                                bool newNaming) const {
  VolumeBuilder builder(volumeDataSize, newNaming);
  for (const Item& item : items_) {
    if (item.IsEntry) builder.Add(item.Entry);
  }
  const std::vector<std::string> volumes = builder.Finish();
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    paths.push_back(VolumeName(base, i, volumes.size(), newNaming));
    if (!WriteFile(paths.back(), volumes[i])) return {};
  }
  return paths;
}

bool RarWriter::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  Write(out);
  out.close();
  return static_cast<bool>(out);
}
