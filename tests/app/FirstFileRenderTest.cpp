// The first command-line file rendered at start-up, beside the building of the window: its graph
// must only ever serve that one file, and only once.

#include "MainWindowFixture.h"
#include "TestMedia.h"
#include "app/CFirstFileRender.h"
#include "playback/MediaFramework.h"

TEST(FirstFileRender, HandsOutTheGraphOnlyForItsOwnPathAndOnlyOnce)
{
    const QString strClip = TestMediaPath(TestClip::Avi);
    const QString strNotMedia = TestMediaPath(TestClip::NotMedia);
    const struct
    {
        const char* pszName;
        QString strRendered;
        QString strAsked;
        bool bTaken;
        bool bRendered;
    } cases[] = {
        {"the same file", strClip, strClip, true, true},
        {"a refused file keeps its refusal", strNotMedia, strNotMedia, true, false},
        {"another file", strClip, TestMediaPath(TestClip::OddName), false, false},
        {"nothing rendered", QString(), strClip, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        CFirstFileRender render;
        render.Start(c.strRendered);
        std::shared_ptr<IGraphBuilder> pGraph;
        HRESULT hr = E_UNEXPECTED;
        ASSERT_EQ(render.Take(c.strAsked, &pGraph, &hr), c.bTaken);
        if (c.bTaken) {
            EXPECT_EQ(hr == S_OK, c.bRendered);
            EXPECT_EQ(pGraph && pGraph->QueryMediaControl(), c.bRendered);
        }
        EXPECT_FALSE(render.Take(c.strRendered, &pGraph, &hr));
    }
}
