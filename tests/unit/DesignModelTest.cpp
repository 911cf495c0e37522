// The design model's actions, each on the bytes of one menu and undone, and its promise over
// generated menus and generated input sequences with outside saves between them.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "DesignModelProperty.h"

namespace {

// CR LF line ends, a check box without its own ButtonPosition, an empty second page.
const std::string kMenu =
    "<config>\r\n"
    "  <ButtonConfig>\r\n"
    "    <ButtonLayout width=\"100\" height=\"30\"/>\r\n"
    "  </ButtonConfig>\r\n"
    "  <BtnBeenden>\r\n"
    "    <ButtonPosition left=\"280\" top=\"250\"/>\r\n"
    "    <ButtonLayout caption=\"Quit\"/>\r\n"
    "  </BtnBeenden>\r\n"
    "  <Pages>\r\n"
    "    <Page>\r\n"
    "      <Button>\r\n"
    "        <ButtonPosition left=\"20\" top=\"20\"/>\r\n"
    "        <ButtonLayout caption=\"Hello\"/>\r\n"
    "      </Button>\r\n"
    "      <Button id=\"tick\">\r\n"
    "        <ButtonLayout type=\"checkbox\" caption=\"Tick\" width=\"80\"/>\r\n"
    "      </Button>\r\n"
    "    </Page>\r\n"
    "    <Page>\r\n"
    "    </Page>\r\n"
    "  </Pages>\r\n"
    "</config>\r\n";

const ControlRef kHello{0, 0};
const ControlRef kTick{0, 1};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

const std::string kHelloEnd = "<ButtonLayout caption=\"Hello\"/>\r\n      </Button>";
const std::string kTickEnd = "width=\"80\"/>\r\n      </Button>";
const std::string kTickStart = "<Button id=\"tick\">\r\n";
const std::string kNewButton = "\r\n      <Button>\r\n"
                               "        <ButtonPosition left=\"50\" top=\"60\"/>\r\n"
                               "        <ButtonLayout caption=\"Button\" width=\"100\" "
                               "height=\"30\"/>\r\n"
                               "      </Button>";

TEST(DesignModel, EachActionIsOneWriteOfItsOwnBytesAndOneUndoStep) {
    // Selects `refs` as clicks do: the first alone, the others with Shift.
    const auto select = [](DesignModel& m, std::vector<ControlRef> refs) {
        for (std::size_t i = 0; i < refs.size(); ++i) {
            m.Press(refs[i], {1, 1}, i > 0);
        }
        m.CancelDrag();
    };
    struct Case {
        const char* what;
        std::function<DesignOutcome(DesignModel&, DesignStore&)> act;
        std::vector<std::pair<std::string, std::string>> edits; // from, to, in order
    };
    const std::vector<Case> cases = {
        {"Insert at the last point pressed, laid out like the last control",
         [](DesignModel& m, DesignStore& s) {
             m.Press(std::nullopt, {50, 60}, false);
             return m.AddButton(s);
         },
         {{kTickEnd, kTickEnd + kNewButton}}},
        {"Insert on an empty page",
         [](DesignModel& m, DesignStore& s) {
             m.ShowPage(1);
             m.Press(std::nullopt, {5, 5}, false);
             return m.AddButton(s);
         },
         {{"    <Page>\r\n    </Page>",
           "    <Page>\r\n      <Button>\r\n        <ButtonPosition left=\"5\" top=\"5\"/>\r\n"
           "        <ButtonLayout caption=\"Button\" width=\"100\" height=\"30\"/>\r\n"
           "      </Button>\r\n    </Page>"}}},
        {"A typed \"&\" is written doubled, so the menu shows it",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello});
             return m.SetCaption(L"Tom & Jerry", s);
         },
         {{"caption=\"Hello\"", "caption=\"Tom && Jerry\""}}},
        {"Ctrl+D copies a button 10,10 further",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello});
             return m.Duplicate(s);
         },
         {{kHelloEnd, kHelloEnd + "\r\n      <Button>\r\n"
                                  "        <ButtonPosition left=\"30\" top=\"30\"/>\r\n"
                                  "        <ButtonLayout caption=\"Hello\"/>\r\n      </Button>"}}},
        {"Ctrl+D gives a check box a fresh id and its own position",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kTick});
             return m.Duplicate(s);
         },
         {{kTickEnd, kTickEnd + "\r\n      <Button id=\"tick2\">\r\n"
                                "        <ButtonPosition left=\"10\" top=\"10\"/>\r\n"
                                "        <ButtonLayout type=\"checkbox\" caption=\"Tick\" "
                                "width=\"80\"/>\r\n      </Button>"}}},
        {"Delete takes the element's whole lines",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello});
             return m.Delete(s);
         },
         {{"      <Button>\r\n        <ButtonPosition left=\"20\" top=\"20\"/>\r\n"
           "        <ButtonLayout caption=\"Hello\"/>\r\n      </Button>\r\n",
           ""}}},
        {"Delete with Shift takes both controls",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello, kTick});
             return m.Delete(s);
         },
         {{"    <Page>\r\n      <Button>", "    <Page>\r\n    </Page>\r\n    <Page>"},
          {"\r\n        <ButtonPosition left=\"20\" top=\"20\"/>\r\n"
           "        <ButtonLayout caption=\"Hello\"/>\r\n      </Button>\r\n      "
           "<Button id=\"tick\">\r\n        <ButtonLayout type=\"checkbox\" caption=\"Tick\" "
           "width=\"80\"/>\r\n      </Button>\r\n    </Page>\r\n    <Page>\r\n",
           "\r\n"}}},
        {"a first move gives the control its own position, first among its parts",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kTick});
             return m.Nudge(1, 0, false, s);
         },
         {{kTickStart, kTickStart + "        <ButtonPosition left=\"1\" top=\"0\"/>\r\n"}}},
        {"arrows move the whole selection",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello, kTick});
             return m.Nudge(0, 10, false, s);
         },
         {{"top=\"20\"", "top=\"30\""},
          {kTickStart, kTickStart + "        <ButtonPosition left=\"0\" top=\"10\"/>\r\n"}}},
        {"a drag moves the whole selection",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kTick, kHello});
             m.Press(kHello, {30, 30}, false);
             m.DragTo({40, 30}, true);
             return m.Release({50, 40}, false, s);
         },
         {{"left=\"20\" top=\"20\"", "left=\"40\" top=\"30\""},
          {kTickStart, kTickStart + "        <ButtonPosition left=\"20\" top=\"10\"/>\r\n"}}},
        {"a drag snaps to the window's edge",
         [&](DesignModel& m, DesignStore& s) {
             m.Press(kHello, {30, 30}, false);
             return m.Release({13, 30}, true, s);
         },
         {{"left=\"20\"", "left=\"0\""}}},
        {"Ctrl+Alt+Right aligns right edges with the first selected",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello, kTick});
             return m.Align(AlignEdge::Right, s);
         },
         {{kTickStart, kTickStart + "        <ButtonPosition left=\"40\" top=\"0\"/>\r\n"}}},
        {"Ctrl+Alt+Top aligns top edges",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kTick, kHello});
             return m.Align(AlignEdge::Top, s);
         },
         {{"top=\"20\"", "top=\"0\""}}},
        {"Ctrl+Alt+W gives the first one's width",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello, kTick});
             return m.Align(AlignEdge::Width, s);
         },
         {{"width=\"80\"", "width=\"100\""}}},
        {"Ctrl+Alt+Bottom aligns bottom edges",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kHello, kTick});
             return m.Align(AlignEdge::Bottom, s);
         },
         {{kTickStart, kTickStart + "        <ButtonPosition left=\"0\" top=\"20\"/>\r\n"}}},
        {"Ctrl+Alt+Left aligns left edges",
         [&](DesignModel& m, DesignStore& s) {
             select(m, {kTick, kHello});
             return m.Align(AlignEdge::Left, s);
         },
         {{"left=\"20\"", "left=\"0\""}}},
    };
    for (const Case& c : cases) {
        DesignFakeFile disk;
        disk.bytes = kMenu;
        DesignModel model;
        ASSERT_TRUE(model.Load(kMenu));
        model.SetArea(400, 300);
        const DesignOutcome out = c.act(model, disk);
        std::string expected = kMenu;
        for (const auto& [from, to] : c.edits) {
            expected = Replaced(expected, from, to);
        }
        EXPECT_EQ(out.written, !c.edits.empty()) << c.what << ": " << EncodeUtf8(out.status);
        EXPECT_EQ(disk.bytes, expected) << c.what;
        EXPECT_EQ(ReadDesignControls(*ParseConfigBytes(disk.bytes)), model.Controls()) << c.what;
        EXPECT_EQ(out.newStep, out.written) << c.what;
        EXPECT_EQ(model.Step(true, disk).written, !c.edits.empty()) << c.what;
        EXPECT_EQ(disk.bytes, kMenu) << c.what << ": undone";
        EXPECT_FALSE(model.Step(true, disk).written) << c.what << ": one step";
        if (out.written) {
            // A redo shows bytes shown before; a step taken back for good has no redo.
            const DesignOutcome redone = model.Step(false, disk);
            EXPECT_TRUE(redone.written && !redone.newStep) << c.what;
            EXPECT_TRUE(model.TakeBack(disk).written) << c.what;
            EXPECT_EQ(disk.bytes, kMenu) << c.what << ": taken back";
            EXPECT_FALSE(model.Step(false, disk).written) << c.what << ": no redo of it";
        }
    }
}

TEST(DesignModel, RefusesWhatCannotBeWrittenAndKeepsTheFile) {
    DesignFakeFile disk;
    disk.bytes = kMenu;
    DesignModel model;
    ASSERT_TRUE(model.Load(kMenu));
    model.Press(ControlRef{-1, 0}, {300, 260}, false);
    model.CancelDrag();
    EXPECT_FALSE(model.Delete(disk).written); // the quit button stays
    EXPECT_FALSE(model.Duplicate(disk).written);
    EXPECT_FALSE(model.SetCaption(L"a>b", disk).written);
    EXPECT_FALSE(model.Align(AlignEdge::Left, disk).written); // one control: nothing to align
    disk.bytes += " "; // another program's save, not read yet
    EXPECT_EQ(model.Nudge(1, 0, false, disk).status,
              L"Not written. Another program changed the file.");
    EXPECT_EQ(model.Controls(), ReadDesignControls(*ParseConfigBytes(kMenu)));
    model.Block(L"Mend it first.");
    EXPECT_EQ(model.Nudge(1, 0, false, disk).status, L"Not written. Mend it first.");
    EXPECT_FALSE(model.Load("<config"));
    EXPECT_EQ(model.Bytes(), kMenu);
}

// Menus as authors write them: indented with spaces, tabs or not at all, LF or CR LF, on one
// line or many, controls with and without their own position, check boxes with ids, a
// ButtonConfig with or without a size, and now and then a comment or a stray piece.
std::string DesignMenu(std::mt19937& rng) {
    std::uniform_int_distribution<int> die(0, 99);
    const std::string eol = die(rng) < 50 ? "\r\n" : "\n";
    const std::string tab = die(rng) < 20 ? "\t" : die(rng) < 20 ? "" : "  ";
    const bool flat = die(rng) < 15;
    const auto line = [&](int depth, const std::string& text) {
        std::string out;
        for (int d = 0; d < depth && !flat; ++d) {
            out += tab;
        }
        return out + text + (flat ? "" : eol);
    };
    std::string text = die(rng) < 30 ? "<?xml version=\"1.0\"?>" + eol : "";
    text += line(0, "<config>");
    if (die(rng) < 70) {
        text += line(1, "<ButtonConfig><ButtonLayout width=\"" + std::to_string(die(rng) + 20) +
                            "\" height=\"30\"/></ButtonConfig>");
    }
    if (die(rng) < 70) {
        text += line(1, "<BtnBeenden><ButtonPosition left=\"300\" top=\"260\"/>"
                        "<ButtonLayout caption=\"Quit\"/></BtnBeenden>");
    }
    text += line(1, "<Pages>");
    int id = 0;
    for (int page = die(rng) % 3; page >= 0; --page) {
        text += line(2, "<Page>");
        for (int c = die(rng) % 4; c > 0; --c) {
            const bool box = die(rng) < 40;
            const bool oneLine = die(rng) < 30;
            const std::string start =
                box ? "<Button id=\"b" + std::to_string(++id % 3) + "\">" : "<Button>";
            std::string parts;
            if (die(rng) < 75) {
                parts +=
                    line(oneLine ? 0 : 4, "<ButtonPosition left=\"" + std::to_string(die(rng) * 3) +
                                              "\" top=\"" + std::to_string(die(rng) * 2) + "\"/>");
            }
            parts += line(oneLine ? 0 : 4, std::string("<ButtonLayout ") +
                                               (box ? "type=\"checkbox\" " : "") + "caption=\"C" +
                                               std::to_string(c) + "\"" +
                                               (die(rng) < 40 ? " width=\"60\"" : "") + "/>");
            if (die(rng) < 20) {
                parts += line(oneLine ? 0 : 4, "<Command type=\"beenden\"/>");
            }
            if (oneLine) {
                std::erase(parts, '\r');
                std::erase(parts, '\n');
                std::erase(parts, '\t');
                text += line(3, start + parts + "</Button>");
            } else {
                text += line(3, start) + parts + line(3, "</Button>");
            }
        }
        text += line(2, "</Page>");
    }
    text += line(1, "</Pages>");
    text += line(0, "</config>");
    if (die(rng) < 20) {
        const std::string pieces[] = {"<!-- a note -->", " ", "\t", "?", "\xC3\xA9", "\r\n"};
        text.insert(std::uniform_int_distribution<std::size_t>(0, text.size())(rng),
                    pieces[die(rng) % 6]);
    }
    return text;
}

TEST(DesignModel, PromiseHoldsOverGeneratedMenusAndInputs) {
    std::mt19937 rng(33);
    std::size_t writes = 0;
    std::size_t steps = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string menu = DesignMenu(rng);
        std::string input(2 * (20 + rng() % 60), '\0');
        for (char& b : input) {
            b = static_cast<char>(rng());
        }
        steps += input.size() / 2;
        const std::string fault = DesignSequenceFault(menu, input, writes);
        ASSERT_EQ(fault, "") << "round " << round << "\n" << menu;
    }
    std::printf("%zu writes in about %zu steps\n", writes, steps);
    EXPECT_GT(writes, steps / 20); // most inputs write something: the promise is not empty
}

} // namespace
