// EZAG files: 700-character records, each ending in a line feed: the type 00 header, the
// payment records of types 22, 27, 28 and 37, and the type 97 total.
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

constexpr std::size_t kRecord = kEzagRecordLength;

struct Line {
  std::size_t offset;
  std::string_view text;  // without its line feed
  bool has_line_feed;
};

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  std::size_t at = 0;
  while (at < content.size()) {
    const std::size_t end = content.find('\n', at);
    if (end == std::string_view::npos) {
      lines.push_back({at, content.substr(at), false});
      break;
    }
    lines.push_back({at, content.substr(at, end - at), true});
    at = end + 1;
  }
  return lines;
}

Location FieldAt(const std::string& title, const PartLayout& part, const FieldLayout& field) {
  return {title, std::string(part.label), std::string(field.name), field.pos, field.width};
}

class EzagReader {
 public:
  EzagReader(std::string_view content, Inspection& inspection) : content_(content), inspection_(inspection) {}

  void Run() {
    std::vector<Line> lines = SplitLines(content_);
    // Records ending in CR LF are read without the CR; that they do is noted once.
    bool carriage_returns = false;
    for (Line& line : lines) {
      if (line.has_line_feed && line.text.ends_with('\r')) {
        line.text.remove_suffix(1);
        carriage_returns = true;
      }
    }
    if (carriage_returns) inspection_.notes.push_back("records end with CR LF, not with a line feed alone");
    if (lines.empty()) inspection_.Problem({}, "the file is empty");
    for (std::size_t i = 0; i < lines.size(); ++i) ReadRecord(static_cast<int>(i + 1), lines[i]);
    if (!total_seen_) {
      inspection_.Problem({}, "the file does not end with a type 97 total record");
    } else if (!missing_.empty() && sum_known_ && total_) {
      inspection_.notes.push_back(std::to_string(missing_.size()) + " payment(s) without a record; the total " +
                                  AmountText(*total_, '.') + " is " + AmountText(*total_ - sum_, '.') +
                                  " more than the records' amounts, which their amounts must make up");
    }
  }

 private:
  void ReadRecord(int number, const Line& line) {
    const std::string_view type = line.text.size() >= 37 ? line.text.substr(35, 2) : std::string_view();
    const RecordLayout* layout = EzagLayout(type);
    const std::string title = "record " + std::to_string(number) + " (type " + TypeText(type) + ")";
    Block block{title, line.offset, number, {}};

    if (line.text.size() != kRecord) {
      inspection_.Problem(InBlock(title),
                          "the record is " + std::to_string(line.text.size()) + " characters long, expected 700");
    }
    if (!line.has_line_feed) inspection_.Problem(InBlock(title), "the record does not end with a line feed");
    if (layout == nullptr) {
      const PartLayout header{"header", EzagHeaderLayout()};
      block.parts.push_back(ListPart(header, line.text, InBlock(title, "header"), {}, inspection_));
      inspection_.Problem(FieldAt(title, header, header.fields[6]),
                          Quoted(type) + " is not an EZAG record type (00, 22, 27, 28, 37 or 97)");
      inspection_.AddBlock(std::move(block));
      return;
    }
    for (const PartLayout& part : layout->parts) {
      block.parts.push_back(ListPart(part, line.text, InBlock(title, std::string(part.label)), {}, inspection_));
    }
    inspection_.AddBlock(std::move(block));
    CheckPlace(number, *layout, title, line.text);
    CheckSequence(*layout, title, line.text);
    CheckAmounts(*layout, title, line.text);
  }

  // The header record comes first, the total record last, payment records between.
  void CheckPlace(int number, const RecordLayout& layout, const std::string& title, std::string_view text) {
    const PartLayout& header = layout.parts.front();
    const std::string_view group = FieldBytes(text, header.fields[0]);
    const std::string_view expected_group = layout.code == "00" ? "546" : "036";
    if (group.size() == 3 && group != expected_group) {
      inspection_.Problem(FieldAt(title, header, header.fields[0]), Quoted(group) + " found, expected " +
                                                                        Quoted(expected_group) + " in a " +
                                                                        std::string(layout.kind) + " record");
    }
    if (layout.code == "00" && number != 1) {
      inspection_.Problem(InBlock(title), "a file header record (type 00) that is not the first record");
    } else if (layout.code != "00" && number == 1) {
      inspection_.Problem(InBlock(title), "the file does not begin with a file header record (type 00)");
    }
    if (total_seen_) inspection_.Problem(InBlock(title), "a record after the total record (type 97)");
    if (layout.code == "97") total_seen_ = true;
  }

  void CheckSequence(const RecordLayout& layout, const std::string& title, std::string_view text) {
    const PartLayout& header = layout.parts.front();
    const FieldLayout& field = *FieldByKind(header, FieldKind::kSequence);
    const std::optional<std::int64_t> sequence = ParseNumber(FieldBytes(text, field));
    if (!sequence) return;
    if (layout.code == "00") {
      if (*sequence != 0)
        inspection_.Problem(FieldAt(title, header, field), "the file header record has sequence number 000000");
      return;
    }
    if (*sequence <= last_sequence_) {
      inspection_.Problem(FieldAt(title, header, field), std::to_string(*sequence) + " does not follow " +
                                                             std::to_string(last_sequence_) +
                                                             " (sequence numbers rise)");
      return;
    }
    // Numbers left out belong to payments without a record (the total still counts them).
    for (std::int64_t missing = last_sequence_ + 1; missing < *sequence; ++missing) missing_.push_back(missing);
    last_sequence_ = *sequence;
    if (layout.code == "97") total_sequence_ = *sequence;
  }

  void CheckAmounts(const RecordLayout& layout, const std::string& title, std::string_view text) {
    const PartLayout& body = layout.parts.back();
    if (const FieldLayout* amount = FieldByKind(body, FieldKind::kEzagAmount)) {
      const std::optional<std::int64_t> value = ParseEzagAmount(FieldBytes(text, *amount));
      if (!value || __builtin_add_overflow(sum_, *value, &sum_)) sum_known_ = false;
      const std::string_view currency = FieldBytes(text, body.fields[0]);
      const std::string_view repeated = FieldBytes(text, body.fields[3]);
      if (currency != repeated) {
        inspection_.Problem(FieldAt(title, body, body.fields[3]),
                            Quoted(repeated) + " differs from the currency " + Quoted(currency) + " at position 51");
      }
      return;
    }
    if (layout.code != "97") return;
    const FieldLayout& count_field = *FieldByKind(body, FieldKind::kCount);
    const FieldLayout& total_field = *FieldByKind(body, FieldKind::kEzagTotal);
    const std::optional<std::int64_t> count = ParseNumber(FieldBytes(text, count_field));
    if (count && total_sequence_ && *count != *total_sequence_ - 1) {
      inspection_.Problem(FieldAt(title, body, count_field),
                          std::to_string(*count) + " payments, but the total record's sequence number " +
                              std::to_string(*total_sequence_) + " counts " + std::to_string(*total_sequence_ - 1));
    }
    total_ = ParseEzagAmount(FieldBytes(text, total_field));
    if (total_ && sum_known_ && missing_.empty() && *total_ != sum_) {
      inspection_.Problem(
          FieldAt(title, body, total_field),
          AmountText(*total_, '.') + " is not the sum of the records' amounts (" + AmountText(sum_, '.') + ")");
    }
  }

  static std::string TypeText(std::string_view type) {
    std::string text;
    for (const char c : type) text += c >= '0' && c <= '9' ? c : '?';
    return text;
  }

  std::string_view content_;
  Inspection& inspection_;
  bool total_seen_ = false;
  std::int64_t last_sequence_ = 0;
  std::optional<std::int64_t> total_sequence_;
  std::vector<std::int64_t> missing_;
  std::int64_t sum_ = 0;
  bool sum_known_ = true;
  std::optional<std::int64_t> total_;
};

}  // namespace

void InspectEzag(std::string_view content, Inspection& inspection) { EzagReader(content, inspection).Run(); }

}  // namespace ordexa::inspect
