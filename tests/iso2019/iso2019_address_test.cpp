// Structured and hybrid addresses worked out from the texts a caller set, and the two
// character sets of the 2019 ISO document, word at a time as byte by byte.
#include "iso2019/iso2019_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iso2019/iso2019_text.h"
#include "tests/iso2019/iso2019_support.h"

namespace ordexa::test {
namespace {

// A batch of one payment to `receiver`.
void FillReceiver(PayBatch& batch, const AddressFields& receiver) {
  PaymentFields payment;
  payment.receiver = receiver;
  FillBatch(batch, {}, {payment});
}

// The address as one line: street|building|post box|post code|town|country|address line.
std::string Parts(const Iso2019Address& a) {
  std::string parts;
  for (const std::string_view part : {a.street_name.view(), a.building_number.view(), a.post_box.view(),
                                      a.post_code.view(), a.town.view(), std::string_view(a.country)}) {
    parts.append(part).push_back('|');
  }
  return parts.append(a.line.view());
}

// The parts are worked out from the old texts where the new ones are empty; the new ones win
// and are cut to their element's length.
TEST(Iso2019Address, PartsAreWorkedOutFromTheOldTextsWhereTheNewOnesAreEmpty) {
  AddressFields hybrid{"", "", "Alte Strasse 1", "9999 Altdorf", "", "", ""};
  hybrid.street_name = "Neue Strasse";
  hybrid.town = "Z\xFCrich";
  hybrid.country = " ch";
  hybrid.building_number = std::string(20, '9');
  const struct {
    AddressFields given;
    const char* fallback_country;
    std::string parts;
    std::vector<std::string> cuts = {};  // the keys of the parts cut
  } rows[] = {
      {{"", "", "Seeweg 12a", "CH-8001 Z\xFCrich", "", "", ""}, "", "Seeweg|12a||8001|Z\xFCrich|CH|"},
      {{"", "", "12 rue de la Gare", "1200 Gen\xE8ve", "", "", ""}, "CH", "rue de la Gare|12||1200|Gen\xE8ve|CH|"},
      {{"", "", "Via Nassa 7-9", "6900 Lugano", "", "", ""}, "CH", "Via Nassa|7-9||6900|Lugano|CH|"},
      {{"", "", "Bahnhofstrasse", "Z\xFCrich", "", "", ""}, "CH", "Bahnhofstrasse||||Z\xFCrich|CH|"},
      {{"", "", "Postfach 123", "8021 Z\xFCrich", "", "", ""}, "CH", "||Postfach 123|8021|Z\xFCrich|CH|"},
      {{"", "", "P.O. Box 77", "Vaduz", "", "", ""}, "", "||P.O. Box 77||Vaduz||"},
      {{"", "", "", "D-80331 M\xFCnchen", "", "", ""}, "CH", "|||80331|M\xFCnchen|DE|"},
      {{"", "", "", "fl-9490 Vaduz", "", "", ""}, "CH", "|||9490|Vaduz|LI|"},
      {{"", "", "", "NL-1012 Amsterdam", "", "", ""}, "", "|||1012|Amsterdam|NL|"},
      {{"", "", "", "EC1A London", "", "", ""}, "GB", "|||EC1A|London|GB|"},
      {{"", "c/o Muster", "Seeweg 2", "8002 Z\xFCrich", "", "", ""}, "CH", "Seeweg|2||8002|Z\xFCrich|CH|c/o Muster"},
      {{"", "", "", "", "", "", ""}, "", "||||||"},
      {{"", "", std::string(80, 'x'), "8002 Z\xFCrich", "", "", ""}, "", std::string(70, 'x') + "|||8002|Z\xFCrich||",
       {"Street"}},
      {hybrid, "DE", "Neue Strasse|" + std::string(16, '9') + "|||Z\xFCrich|CH|", {"BuildingNumber"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given.street + " / " + row.given.city);
    PayBatch batch;
    FillReceiver(batch, row.given);
    Iso2019Address out;
    std::vector<Iso2019Finding> list;
    Iso2019Findings findings(&list);
    WorkOutIso2019Address(batch.View(batch.payments[0]).receiver, "Receiver", true, row.fallback_country, out,
                          findings);
    EXPECT_EQ(row.parts, Parts(out));
    EXPECT_FALSE(findings.any_refused());
    std::vector<std::string> cuts;
    for (const Iso2019Finding& finding : list) {
      if (finding.kind == Iso2019FindingKind::kCut) cuts.emplace_back(finding.subkey);
    }
    EXPECT_EQ(row.cuts, cuts);
  }
}

TEST(Iso2019Text, EachFlavourWritesItsCharacterSet) {
  const struct {
    const char* given;
    const char* swiss;
    const char* generic;
  } rows[] = {
      {"Caf\xE9 M\xFCller \x80 \x8A", "Caf\xE9 M\xFCller \x80 \x8A", "Caf\xE9 M\xFCller \x80 \x8A"},
      {"\x84Z\x93 \x91s\x92 \x85", "\"Z\" 's' ...", "\x84Z\x93 \x91s\x92 \x85"},
      {"a\x96" "b\x97" "c\x95" "d\x86\x87", "a-b-c.d++", "a\x96" "b\x97" "c\x95" "d\x86\x87"},
      {"\x88\x98\x89\x8B\x9B\x99\x83", "^~%<>TMf", "\x88\x98\x89\x8B\x9B\x99\x83"},
      {"Ab\xADteilung", "Abteilung", "Ab\xADteilung"}, {"Tab\there\r\n", "Tab here", "Tab here"},
      {" \x01\xAD ", "", "\xAD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given);
    EXPECT_EQ(row.swiss, DocumentText(row.given, true));
    EXPECT_EQ(row.generic, DocumentText(row.given, false));
  }
}

std::string Trimmed(const std::string& text) { return std::string(TrimBlanks(text)); }

// Texts of every length up to three words, with every byte value at every place: the
// word-at-a-time paths must agree with the texts taken byte by byte. The second text is an
// account typed in groups of four, whose groups move over the blanks whole.
TEST(Iso2019Text, WordsAndLastBytesAgreeWithTheTextTakenByteByByte) {
  std::string assigned;
  Iso2019Text field;
  for (const std::string context : {" hans m\xFCller-meier, bahnhofstr 5 ", "ch93 0076 2011 6238 5295 7rf18 5390"}) {
    for (int value = 0; value < 256; ++value) {
      for (std::size_t size = 1; size <= 24; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
          std::string text = context.substr(0, size);
          text[at] = static_cast<char>(value);
          std::string upper;
          for (const char c : text) {
            if (c != ' ') upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
          }
          ASSERT_EQ(upper, UpperAscii(text)) << value << " at " << at << " of " << size;
          for (const bool swiss : {true, false}) {
            std::string byte_by_byte;
            for (const char c : text) AppendDocumentText(byte_by_byte, std::string_view(&c, 1), swiss);
            const std::string expected = Trimmed(byte_by_byte);
            AssignDocumentText(assigned, text, swiss);
            ASSERT_EQ(expected, assigned) << value << " at " << at << " of " << size << (swiss ? " swiss" : "");
            field.Set(text, swiss);
            ASSERT_EQ(expected, field.view());
            ASSERT_EQ(expected.empty(), IsEmptyDocumentText(text, swiss));
          }
        }
      }
    }
  }
}

// A text views the text it was set from unless characters were replaced; a copy of a
// formed text views its own room, so it stays right when the original is set again.
TEST(Iso2019Text, ViewsTheGivenTextUnlessFormedAndCopiesViewTheirOwnRoom) {
  const struct {
    const char* given;
    std::size_t cut;
    bool formed;
    const char* after_cut;
  } cases[] = {
      {"  Seeweg 12  ", 6, false, "Seeweg"},
      {"Seeweg 12", 7, false, "Seeweg"},  // the blank the cut leaves at the end goes
      {"M\xFCller", 10, false, "M\xFCller"},
      {"\x84Z\x93rich", 3, true, "\"Z\""},
      {"\tTab", 2, true, "Ta"},
      {"", 5, false, ""},
  };
  for (const auto& c : cases) {
    const std::string given = c.given;
    Iso2019Text text;
    text.Set(given, true);
    EXPECT_EQ(c.formed, text.formed()) << c.given;
    EXPECT_EQ(!c.formed && !given.empty(),
              text.view().data() >= given.data() && text.view().data() <= given.data() + given.size())
        << c.given;
    const bool shorter = std::string_view(c.after_cut).size() < text.size();
    EXPECT_EQ(shorter, text.Cut(c.cut)) << c.given;
    EXPECT_EQ(c.after_cut, text.view()) << c.given;

    const Iso2019Text copy = text;
    text.Set("other text \x85", true);
    EXPECT_EQ(c.after_cut, copy.view()) << c.given;
    Iso2019Text assigned;
    assigned = copy;
    EXPECT_EQ(c.after_cut, assigned.view()) << c.given;
  }
}

}  // namespace
}  // namespace ordexa::test
