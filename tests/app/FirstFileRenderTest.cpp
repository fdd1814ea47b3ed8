// The first command-line file rendered at start-up, beside the building of the window.

#include "MainWindowFixture.h"
#include "TestMedia.h"
#include "app/CFirstFileRender.h"
#include "app/CTavCommandLineInfo.h"
#include "playback/MediaFramework.h"

TEST(FirstFileRender, HandsOutTheGraphOnlyForItsOwnPathAndOnlyOnce)
{
    const QString strClip = TestMediaPath(TestClip::Avi);
    const struct
    {
        const char* pszName;
        QString strRendered;
        QString strAsked;
        bool bTaken;
        HRESULT hr;
    } cases[] = {
        {"the same file", strClip, strClip, true, S_OK},
        {"a refused file keeps its refusal", TestMediaPath(TestClip::NotMedia),
         TestMediaPath(TestClip::NotMedia), true, E_FAIL},
        {"another file", strClip, TestMediaPath(TestClip::OddName), false, S_OK},
        {"nothing rendered", QString(), strClip, false, S_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        CFirstFileRender render;
        render.Start(c.strRendered);
        std::shared_ptr<IGraphBuilder> pGraph;
        HRESULT hr = E_UNEXPECTED;
        ASSERT_EQ(render.Take(c.strAsked, &pGraph, &hr), c.bTaken);
        if (c.bTaken && c.hr == S_OK) {
            EXPECT_EQ(hr, S_OK);
            ASSERT_TRUE(pGraph);
            EXPECT_TRUE(pGraph->QueryMediaControl());
        } else if (c.bTaken) {
            EXPECT_NE(hr, S_OK);
        }
        // Once only, whatever the path.
        EXPECT_FALSE(render.Take(c.strRendered, &pGraph, &hr));
    }
}

TEST(FirstFileRender, TheWindowOpensTheRenderedFirstFileAndTheOthersAsUsual)
{
    const QString strFirst = TestMediaPath(TestClip::Avi);
    const QString strSecond = TestMediaPath(TestClip::OddName);
    CTavCommandLineInfo cmdInfo;
    cmdInfo.ParseCommandLine({QStringLiteral("vessa-video-player"), strFirst, strSecond});
    CFirstFileRender render;
    render.Start(strFirst);
    {
        CTavVideoDlg dlg(&cmdInfo);
        dlg.SetFirstFileRender(&render);
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.CurrentFile(), strSecond);
        EXPECT_TRUE(g_bPlaying);
        // The rendered graph was taken by the first open.
        std::shared_ptr<IGraphBuilder> pGraph;
        HRESULT hr = S_OK;
        EXPECT_FALSE(render.Take(strFirst, &pGraph, &hr));
    }
    g_bPlaying = false;
}
