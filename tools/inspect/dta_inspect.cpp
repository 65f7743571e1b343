// DTA files: 128-character segments, records of TA 826, 827 and 836 and the closing TA 890
// total. Segment boundaries are found again after a segment of the wrong length, so one
// fault is reported once and the records after it are still read.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tools/inspect/fixed_width.h"
#include "tools/inspect/inspect.h"

namespace ordexa::inspect {
namespace {

using detail::FieldByKind;
using detail::FieldBytes;
using detail::ListPart;

constexpr std::size_t kSegment = kDtaSegmentLength;

// The marker a segment begins with: its literal first field ("02", "03/C/", ...).
std::string_view MarkerOf(const PartLayout& part) {
  const FieldLayout& first = part.fields.front();
  return first.kind == FieldKind::kLiteral ? first.expected : std::string_view();
}

class DtaReader {
 public:
  DtaReader(std::string_view content, Inspection& inspection) : content_(content), inspection_(inspection) {
    // Some programs end every segment with a line end; the segments themselves stay 128.
    line_ends_ = content.size() > kSegment && (content[kSegment] == '\r' || content[kSegment] == '\n');
  }

  void Run() {
    std::size_t at = 0;
    int number = 0;
    while (at < content_.size()) {
      ++number;
      if (total_) {
        inspection_.Problem({}, std::to_string(content_.size() - at) +
                                    " bytes follow the TA 890 total record (from offset " + std::to_string(at) + ")");
        return;
      }
      if (content_.size() >= at + 51 && content_.substr(at, 2) == "01" && !RecordStartsAt(at)) {
        inspection_.Problem(
            {"record " + std::to_string(number), "segment 01", "transaction type", 49, 3},
            Quoted(content_.substr(at + 48, 3)) +
                " is not a DTA transaction type (826, 827, 836 or 890); the rest of the file is not inspected");
        return;
      }
      if (!RecordStartsAt(at)) {
        inspection_.Problem(
            InBlock("record " + std::to_string(number)),
            "no record starts at offset " + std::to_string(at) +
                " (expected \"01\" and a transaction type 826, 827, 836 or 890 at positions 49-51, found " +
                Quoted(content_.substr(at, 8)) + "); the rest of the file is not inspected");
        return;
      }
      if (!ReadRecord(number, at)) return;
    }
    if (number == 0) inspection_.Problem({}, "the file is empty");
    if (!total_) {
      inspection_.Problem({}, "the file does not end with a TA 890 total record");
      return;
    }
    CheckTotal();
  }

 private:
  struct TotalRecord {
    std::string title;
    std::optional<std::int64_t> amount;
    std::optional<std::int64_t> sequence;
  };

  std::size_t SkipLineEnd(std::size_t at) const {
    if (!line_ends_) return at;
    if (at < content_.size() && content_[at] == '\r') ++at;
    if (at < content_.size() && content_[at] == '\n') ++at;
    return at;
  }

  bool RecordStartsAt(std::size_t at) const {
    if (content_.size() < at + 51 || content_.substr(at, 2) != "01") return false;
    return DtaLayout(content_.substr(at + 48, 3)) != nullptr;
  }

  // Whether the segment that begins at `start` may end at `end`: what follows is one of
  // `markers`, a new record (when `record_may_follow`) or the end of the file.
  bool EndsAt(std::size_t end, const std::vector<std::string_view>& markers, bool record_may_follow) const {
    if (end > content_.size()) return false;
    const std::size_t next = SkipLineEnd(end);
    if (next >= content_.size()) return true;
    for (const std::string_view marker : markers) {
      if (content_.substr(next).starts_with(marker)) return true;
    }
    return record_may_follow && RecordStartsAt(next);
  }

  // At the regular end of a record, "01" alone is enough: a record of an unknown type is
  // then reported as such instead of as a segment of the wrong length.
  bool EndsRegularlyAt(std::size_t end, const std::vector<std::string_view>& markers, bool record_may_follow) const {
    if (EndsAt(end, markers, record_may_follow)) return true;
    const std::size_t next = SkipLineEnd(end);
    return record_may_follow && next < content_.size() && content_.substr(next).starts_with("01");
  }

  // The length of the segment at `start`: 128 when the next segment or record follows
  // there, else the length nearest to 128 after which one does.
  std::optional<std::size_t> SegmentLength(std::size_t start, const std::vector<std::string_view>& markers,
                                           bool record_may_follow) const {
    if (EndsRegularlyAt(start + kSegment, markers, record_may_follow)) return kSegment;
    for (std::size_t distance = 1; distance < kSegment; ++distance) {
      if (EndsAt(start + kSegment - distance, markers, record_may_follow)) return kSegment - distance;
      if (EndsAt(start + kSegment + distance, markers, record_may_follow)) return kSegment + distance;
    }
    return std::nullopt;
  }

  // Reads one record from `at` and moves `at` behind it; false when the file cannot be
  // followed any further.
  bool ReadRecord(int number, std::size_t& at) {
    const std::string_view type = content_.substr(at + 48, 3);
    const RecordLayout* layout = DtaLayout(type);
    const std::string title = "record " + std::to_string(number) + " (TA " + std::string(type) + ")";
    Block block{title, at, 0, {}};
    FieldContext context;
    std::string_view first_segment;

    for (std::size_t k = 0; k < layout->parts.size(); ++k) {
      const PartLayout& part = layout->parts[k];
      const bool last = k + 1 == layout->parts.size();
      std::vector<std::string_view> markers;
      if (!last) markers.push_back(MarkerOf(layout->parts[k + 1]));
      // A TA 827 record of a trustee payment has a fifth segment for the final beneficiary.
      const bool optional_05 = type == "827" && last;
      if (optional_05) markers.push_back(MarkerOf(DtaLayout("827", true)->parts.back()));

      const Location where = InBlock(title, std::string(part.label));
      // The total record ends the file: what follows it is not part of its segment.
      const std::optional<std::size_t> length =
          type == "890" ? std::min(kSegment, content_.size() - at) : SegmentLength(at, markers, last);
      const std::string_view segment = content_.substr(at, length.value_or(kSegment));
      if (k == 0) {
        first_segment = segment;
        context.bank_clearing_given = TrimRight(FieldBytes(segment, part.fields[2])).size() > 0;
      }
      if (!length) {
        inspection_.Problem(where,
                            "the next segment does not begin within 127 characters of position 129; the rest of the "
                            "file is not inspected");
      } else if (*length != kSegment) {
        inspection_.Problem(where, "the segment is " + std::to_string(*length) + " characters long, expected 128");
      }
      block.parts.push_back(ListPart(part, segment, where, context, inspection_));
      at = SkipLineEnd(at + segment.size());
      if (!length) {
        inspection_.AddBlock(std::move(block));
        return false;
      }
      if (optional_05 && content_.substr(at).starts_with(markers.back())) layout = DtaLayout("827", true);
      if (k + 1 < layout->parts.size() && at >= content_.size()) {
        inspection_.Problem(InBlock(title), "the file ends after " + std::string(part.label) + "; a " +
                                                std::string(layout->kind) + " record has " +
                                                std::to_string(layout->parts.size()) + " segments");
        inspection_.AddBlock(std::move(block));
        return false;
      }
    }
    CheckRecord(*layout, title, first_segment);
    inspection_.AddBlock(std::move(block));
    return true;
  }

  void CheckRecord(const RecordLayout& layout, const std::string& title, std::string_view segment) {
    const PartLayout& part = layout.parts.front();
    const FieldLayout* sequence_field = FieldByKind(part, FieldKind::kSequence);
    const std::optional<std::int64_t> sequence = ParseNumber(FieldBytes(segment, *sequence_field));
    const Location sequence_at{title, std::string(part.label), std::string(sequence_field->name), sequence_field->pos,
                               sequence_field->width};
    if (sequence) {
      if (*sequence <= last_sequence_) {
        inspection_.Problem(sequence_at, std::to_string(*sequence) + " does not follow " +
                                             (last_sequence_ == 0 ? std::string("the start of the file")
                                                                  : std::to_string(last_sequence_)) +
                                             " (entry sequence numbers rise)");
      } else {
        // Numbers left out belong to payments without a record (the total still counts them).
        for (std::int64_t missing = last_sequence_ + 1; missing < *sequence; ++missing) missing_.push_back(missing);
        last_sequence_ = *sequence;
      }
    }

    if (layout.code == "890") {
      const FieldLayout* total_field = FieldByKind(part, FieldKind::kDtaTotal);
      total_.emplace(TotalRecord{title, ParseDtaAmount(FieldBytes(segment, *total_field)), sequence});
      return;
    }
    const FieldLayout* amount_field = FieldByKind(part, FieldKind::kDtaAmount);
    const std::optional<std::int64_t> amount = ParseDtaAmount(FieldBytes(segment, *amount_field));
    if (!amount || __builtin_add_overflow(sum_, *amount, &sum_)) sum_known_ = false;
  }

  void CheckTotal() {
    if (!total_->amount || !sum_known_) return;
    const std::int64_t difference = *total_->amount - sum_;
    if (missing_.empty()) {
      if (difference != 0) {
        inspection_.Problem({total_->title, "segment 01", "total amount", 54, 16},
                            AmountText(*total_->amount, ',') + " is not the sum of the records' amounts (" +
                                AmountText(sum_, ',') + ")");
      }
      return;
    }
    std::string numbers;
    for (std::size_t i = 0; i < missing_.size() && i < 10; ++i) {
      numbers += (i == 0 ? "" : ", ") + std::to_string(missing_[i]);
    }
    if (missing_.size() > 10) numbers += ", ...";
    inspection_.notes.push_back(std::to_string(missing_.size()) +
                                " payment(s) without a record (entry sequence numbers " + numbers + "); the total " +
                                AmountText(*total_->amount, ',') + " is " + AmountText(difference, ',') +
                                " more than the records' amounts, which their amounts must make up");
  }

  std::string_view content_;
  Inspection& inspection_;
  bool line_ends_ = false;
  std::int64_t last_sequence_ = 0;
  std::vector<std::int64_t> missing_;
  std::int64_t sum_ = 0;
  bool sum_known_ = true;
  std::optional<TotalRecord> total_;
};

}  // namespace

void InspectDta(std::string_view content, Inspection& inspection) { DtaReader(content, inspection).Run(); }

}  // namespace ordexa::inspect
