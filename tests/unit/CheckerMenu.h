// The smallest clean menu that the checker's tests edit: one page, one button.
#pragma once

#include <string>

inline const std::string kCheckerMenu =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<config>\n"
    "  <General caption=\"A\" width=\"400\" height=\"300\"/>\n"
    "  <ToolTippConfig tttype=\"cursortt\" width=\"100\" height=\"40\">\n"
    "    <TTFont font=\"Arial\" fontsize=\"12\"/>\n"
    "  </ToolTippConfig>\n"
    "  <ButtonConfig>\n"
    "    <ButtonLayout width=\"100\" height=\"30\"/>\n"
    "  </ButtonConfig>\n"
    "  <Pages>\n"
    "    <Page>\n"
    "      <Button>\n"
    "        <ButtonPosition left=\"10\" top=\"10\"/>\n"
    "        <ButtonLayout caption=\"Los\" tabindex=\"1\"/>\n"
    "        <Command type=\"weiter\"/>\n"
    "      </Button>\n"
    "    </Page>\n"
    "  </Pages>\n"
    "</config>\n";
