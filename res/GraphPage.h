// Resource ids of the Graph page (res/GraphPage.rc): its menu, its tool bar and their commands, and
// the status-bar texts of the page.
#pragma once

// ---- menu 138 and the "KSys" tool bar 106 with its images
#define IDR_GRAPHPAGE               138
#define IDR_DIAGRAM_BAR             106

// ---- the tool bar's child id in the main frame (the frame's other bars have their own)
#define IDW_DIAGRAM_BAR             0xE810

// ---- the Charts commands
#define ID_CHART_MATHEMATICAL       32774
#define ID_CHART_PHYSICAL           32777
#define ID_CHART_POLAR              32778

// ---- why a graph shows no curve
#define IDS_GRAPH_INTERVAL_EMPTY    2800
#define IDS_GRAPH_INTERVAL_UNUSABLE 2801
