// Builds a small scene in the open project: imports two image sequences and a background
// into a folder "Footage", makes a composition, adds one layer per footage item and
// precomposes the two sequence layers into "Characters".
//
//   build/testhost/cellkit-host --headless --run-script samples/scripts/precompose-demo.jsx --dump -
//
// The images come from the folder named by the environment variable CELLKIT_DEMO_DIR, else
// from precompose-demo/ beside this script; it must hold A0001.png..., B0001.png... and BG.png.
var dir = $.getenv("CELLKIT_DEMO_DIR");
if (dir == null)
    dir = File($.fileName).parent.fsName + "/precompose-demo";

function importSequence(path) {
    var o = new ImportOptions(File(path));
    o.sequence = true;
    var item = app.project.importFile(o);
    item.mainSource.conformFrameRate = 24;
    return item;
}

app.beginUndoGroup("precompose demo");
var a = importSequence(dir + "/A0001.png");
var b = importSequence(dir + "/B0001.png");
var bg = app.project.importFile(new ImportOptions(File(dir + "/BG.png")));
var footage = app.project.items.addFolder("Footage");
a.parentFolder = footage;
b.parentFolder = footage;
bg.parentFolder = footage;

var comp = app.project.items.addComp("Demo", 640, 360, 1, a.duration, 24);
comp.layers.add(bg);   // each new layer goes on top
comp.layers.add(a);
comp.layers.add(b);    // now: 1 B, 2 A, 3 BG
var characters = comp.layers.precompose([1, 2], "Characters", true);
app.endUndoGroup();

comp.name + ": " + comp.numLayers + " layers, " + characters.name + ": " + characters.numLayers + " layers";
