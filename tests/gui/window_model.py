#!/usr/bin/env python3
"""Where things are in the Tarvex window, and what a screenshot of it shows.

The window tests click squares, posts and buttons at points computed here from the same view
transform as the program's display and picking: the projection (a perspective of 70 degrees or
the orthographic box of +-8 units, near 0.1, far 60), the eye at (0, 0, 16) looking at the
origin, then the scale and the rotations about z, y and x, in a viewport of 800 x 800 pixels
(or the size given with --size: the perspective keeps its vertical field and takes the window's
aspect, the orthographic box grows along the longer side, and the text moves with them).
Points are returned in X window coordinates (y down), as xdotool takes them.

It also reads screenshots (through ImageMagick's convert, as binary PPM) and answers the
questions the tests ask of them: how many pixels of a colour lie in a region, whether two
pictures differ in a region, where text lies on a line.

Pure Python 3; run as a script (see the commands at the end), never imported by the program.
"""

import math
import subprocess
import sys

WIDTH, HEIGHT = 800, 800  # the window; --size changes it
FIELD_OF_VIEW = 70.0
ORTHO_HALF = 8.0
NEAR, FAR = 0.1, 60.0
EYE = 16.0

# ---- matrices (row-major 4 x 4 lists, applied to column vectors) ----


def mat_mul(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(4)) for j in range(4)] for i in range(4)]


def identity():
    return [[1.0 if i == j else 0.0 for j in range(4)] for i in range(4)]


def perspective(fovy, aspect, near, far):
    f = 1.0 / math.tan(math.radians(fovy) / 2.0)
    return [[f / aspect, 0, 0, 0], [0, f, 0, 0],
            [0, 0, (far + near) / (near - far), 2 * far * near / (near - far)], [0, 0, -1, 0]]


def ortho(left, right, bottom, top, near, far):
    return [[2 / (right - left), 0, 0, -(right + left) / (right - left)],
            [0, 2 / (top - bottom), 0, -(top + bottom) / (top - bottom)],
            [0, 0, -2 / (far - near), -(far + near) / (far - near)], [0, 0, 0, 1]]


def translate(x, y, z):
    m = identity()
    m[0][3], m[1][3], m[2][3] = x, y, z
    return m


def scale(s):
    m = identity()
    m[0][0] = m[1][1] = m[2][2] = s
    return m


def rotate(angle, x, y, z):
    """glRotate's matrix: angle in degrees about the unit axis (x, y, z)."""
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    return [[x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s, 0],
            [y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s, 0],
            [x * z * (1 - c) - y * s, y * z * (1 - c) + x * s, z * z * (1 - c) + c, 0],
            [0, 0, 0, 1]]


def apply(m, p):
    v = (p[0], p[1], p[2], 1.0)
    return [sum(m[i][k] * v[k] for k in range(4)) for i in range(4)]


# ---- the view ----


def stretch(ortho_view):
    """How far the scene reaches across and up, relative to a square window's."""
    aspect = WIDTH / HEIGHT
    if not ortho_view or aspect >= 1.0:
        return aspect, 1.0
    return 1.0, 1.0 / aspect


class View:
    """The view settings the program draws with: projection 'persp' or 'ortho', the scale and
    the x-, y- and z-angles in degrees."""

    def __init__(self, projection, scale_, x_angle, y_angle=0.0, z_angle=0.0):
        self.ortho = projection == 'ortho'
        sx, sy = stretch(self.ortho)
        lens = (ortho(-ORTHO_HALF * sx, ORTHO_HALF * sx, -ORTHO_HALF * sy, ORTHO_HALF * sy, NEAR,
                      FAR) if self.ortho
                else perspective(FIELD_OF_VIEW, sx / sy, NEAR, FAR))
        # gluLookAt from (0, 0, EYE) towards the origin with y up is a shift along -z.
        self.projection = mat_mul(lens, translate(0, 0, -EYE))
        model = scale(scale_)
        for angle, axis in ((z_angle, (0, 0, 1)), (y_angle, (0, 1, 0)), (x_angle, (1, 0, 0))):
            model = mat_mul(model, rotate(angle, *axis))
        self.matrix = mat_mul(self.projection, model)

    def _window(self, matrix, point):
        x, y, _, w = apply(matrix, point)
        gl_x = (x / w + 1) * WIDTH / 2
        gl_y = (y / w + 1) * HEIGHT / 2
        return (gl_x, HEIGHT - gl_y)

    def project(self, point):
        """A scene point in X window coordinates (floats, y down)."""
        return self._window(self.matrix, point)

    def project_text(self, point):
        """A point of the text pass (model-view reset to the identity)."""
        return self._window(self.projection, point)


def parse_view(text):
    """'persp,1.6,300' or 'ortho,2,0,0,0': projection, scale, x-, y- and z-angle."""
    parts = text.split(',')
    numbers = ([float(v) for v in parts[1:]] + [0.0, 0.0, 0.0])[:4]
    return View(parts[0], numbers[0], numbers[1], numbers[2], numbers[3])


# The views a new game and the keys set up.
DEFAULT_VIEW = {'2d': 'persp,2.0,330', '3d': 'persp,1.6,300'}

# ---- the scene ----

# Attack boards: identifier, first square, pin at the start of a game.
BOARDS = ((100, 0, 32), (106, 6, 39), (116, 16, 56), (122, 22, 63))
# Pins: square -> (first file, lower rank, level) of the board standing there.
PINS = {32: (0, 0, 3), 35: (0, 4, 3), 2: (0, 2, 5), 5: (0, 6, 5), 36: (0, 4, 7), 39: (0, 8, 7),
        56: (4, 0, 3), 59: (4, 4, 3), 26: (4, 2, 5), 29: (4, 6, 5), 60: (4, 4, 7), 63: (4, 8, 7)}
HOME_PINS = tuple(pin for _, _, pin in BOARDS)


def board_of_square(index):
    """The attack board (0..3) a 3D square belongs to, or None for a main-level square."""
    column, row = index >> 3, index & 7
    if column >= 4 or 2 <= row <= 5:
        return None
    return (2 if column >= 2 else 0) + (1 if row >= 6 else 0)


def level_name(index):
    """'white', 'neutral', 'black' or the attack board's identifier, for a 3D square."""
    column, row = index >> 3, index & 7
    board = board_of_square(index)
    if board is not None:
        return str(BOARDS[board][0])
    if column >= 4:
        return 'white' if row < 4 else 'black'
    return 'neutral'


def square_corner(game, index, pins=HOME_PINS):
    """The corner (x, y, z) of a square's unit frame, as the program draws it."""
    column, row = index >> 3, index & 7
    if game == '2d':
        return (column - 4.0, row - 4.0, 0.0)
    if column >= 4:
        return (column - 6.0, row - 4.0, -2.0 if row < 4 else 2.0)
    board = board_of_square(index)
    if board is None:
        return (column - 2.0, row - 4.0, 0.0)
    base = BOARDS[board][1]
    first_file, lower_rank, level = PINS[pins[board]]
    return (first_file + column - (base >> 3) - 3.0, lower_rank + row - (base & 7) - 5.0,
            level - 4.0)


def square_polygon(view, game, index, pins=HOME_PINS):
    x, y, z = square_corner(game, index, pins)
    return [view.project((x + dx, y + dy, z)) for dx, dy in ((0, 0), (1, 0), (1, 1), (0, 1))]


def post_segment(view, board, pins=HOME_PINS):
    """The projected axis of an attack board's post and its radius in pixels."""
    x, y, z = square_corner('3d', BOARDS[board][1], pins)
    top, bottom = (x + 1, y + 1, z), (x + 1, y + 1, z - 1)
    a, b = view.project(top), view.project(bottom)
    middle = (x + 1, y + 1, z - 0.5)
    centre = view.project(middle)
    radius = max(
        distance(centre, view.project((middle[0] + dx, middle[1] + dy, middle[2])))
        for dx, dy in ((0.1, 0), (-0.1, 0), (0, 0.1), (0, -0.1)))
    return a, b, radius


def distance(p, q):
    return math.hypot(p[0] - q[0], p[1] - q[1])


def segment_distance(p, a, b):
    ax, ay = b[0] - a[0], b[1] - a[1]
    length2 = ax * ax + ay * ay
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - a[0]) * ax + (p[1] - a[1]) * ay) /
                                              length2))
    return distance(p, (a[0] + t * ax, a[1] + t * ay))


def inside_margin(p, polygon):
    """How far p lies inside a convex polygon, in pixels (negative outside)."""
    area = 0.0
    for i in range(len(polygon)):
        a, b = polygon[i], polygon[(i + 1) % len(polygon)]
        area += a[0] * b[1] - b[0] * a[1]
    sign = 1.0 if area > 0 else -1.0
    margin = math.inf
    for i in range(len(polygon)):
        a, b = polygon[i], polygon[(i + 1) % len(polygon)]
        length = distance(a, b)
        if length == 0:
            return -math.inf
        cross = (b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0])
        margin = min(margin, sign * cross / length)
    return margin


def square_clicks(view, game, pins=HOME_PINS, needed=3.0):
    """For every square index, the point at which a click selects exactly that square, or None.

    Picking takes a post wherever one is hit, else the first square hit in drawing order
    (index order), not the nearest: the point must lie inside the square and clear of every
    post and of every square drawn before it, by at least `needed` pixels. Of the points of a
    grid over the square, the one with the largest clearance is taken."""
    polygons = [square_polygon(view, game, i, pins) for i in range(64)]
    posts = [post_segment(view, b, pins) for b in range(4)] if game == '3d' else []
    steps = 12
    points = []
    for index in range(64):
        best, best_clearance = None, needed
        x, y, z = square_corner(game, index, pins)
        for i in range(1, steps):
            for j in range(1, steps):
                p = view.project((x + i / steps, y + j / steps, z))
                p = (round(p[0]), round(p[1]))
                if not (0 <= p[0] < WIDTH and 0 <= p[1] < HEIGHT):
                    continue
                clearance = inside_margin(p, polygons[index])
                for a, b, radius in posts:
                    clearance = min(clearance, segment_distance(p, a, b) - radius)
                for other in polygons[:index]:
                    if clearance <= best_clearance:
                        break
                    clearance = min(clearance, -inside_margin(p, other))
                if clearance > best_clearance:
                    best, best_clearance = p, clearance
        points.append(best)
    return points


def post_click(view, board, pins=HOME_PINS):
    """A point on the middle of an attack board's post (posts win every pick)."""
    a, b, _ = post_segment(view, board, pins)
    return (round((a[0] + b[0]) / 2), round((a[1] + b[1]) / 2))


def pin_marker_point(view, pin):
    """Where the yellow cone of a free pin stands: the corner of the pin's square under the
    post of a board standing there."""
    x, y, z = square_corner('3d', pin)
    offsets = {32: (0, 0), 2: (0, 0), 36: (0, 0), 35: (0, 1), 5: (0, 1), 39: (0, 1),
               56: (1, 0), 26: (1, 0), 60: (1, 0), 59: (1, 1), 29: (1, 1), 63: (1, 1)}
    dx, dy = offsets[pin]
    return view.project((x + dx, y + dy, z))


def text_box(line, ortho_view=False, width=420):
    """The box (x0, y0, x1, y1) around one of the text lines (0 header, 1 banner, 2 message,
    3 the engine's thoughts): the line's raster position, one Times 24 line high."""
    left, top = (-7.0, 7.0) if ortho_view else (-10.0, 10.0)
    sx, sy = stretch(ortho_view)
    view = View('ortho' if ortho_view else 'persp', 1.0, 0.0)
    x, y = view.project_text((left * sx, top * sy - line, 0.0))
    return (int(x) - 2, int(y) - 22, int(x) + width, int(y) + 7)


# The promotion chooser: a panel of 136 x 52 dialog units at two pixels a unit, centred in the
# window under a title bar of 24 pixels; buttons of 50 x 14 units.
PANEL_W, PANEL_H, TITLE_H = 272, 104, 24
PROMOTION_BUTTONS = {'QUEEN': (15, 7), 'KNIGHT': (16, 27), 'ROOK': (71, 7), 'BISHOP': (71, 27)}


def promotion_panel():
    left = (WIDTH - PANEL_W) // 2
    top = (HEIGHT - PANEL_H - TITLE_H) // 2 + TITLE_H
    return (left, top - TITLE_H, left + PANEL_W, top + PANEL_H)


def promotion_button(name):
    left, top = promotion_panel()[0], promotion_panel()[1] + TITLE_H
    ux, uy = PROMOTION_BUTTONS[name]
    return (left + 2 * ux + 50, top + 2 * uy + 14)


# ---- screenshots ----


class Image:
    """A screenshot, or the box (x0, y0, x1, y1) of one, as rows of RGB bytes; coordinates
    stay those of the whole window."""

    def __init__(self, path, box=None):
        command = ['convert', path]
        self.x0 = self.y0 = 0
        if box is not None:
            x0, y0, x1, y1 = (max(0, v) for v in box)
            command += ['-crop', '%dx%d+%d+%d' % (x1 - x0, y1 - y0, x0, y0), '+repage']
            self.x0, self.y0 = x0, y0
        data = subprocess.run(command + ['-depth', '8', 'ppm:-'], check=True,
                              stdout=subprocess.PIPE).stdout
        fields, pos = [], 0
        while len(fields) < 4:  # magic, width, height, maximum, separated by white space
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        if fields[0] != b'P6' or fields[3] != b'255':
            raise ValueError('unexpected PPM header in ' + path)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]

    def points(self, box=None):
        """(x, y, r, g, b) for every pixel in the box (window coordinates)."""
        x0, y0, x1, y1 = box if box is not None else (0, 0, 10**6, 10**6)
        x0, x1 = max(0, x0 - self.x0), min(self.width, x1 - self.x0)
        y0, y1 = max(0, y0 - self.y0), min(self.height, y1 - self.y0)
        for y in range(y0, y1):
            row = 3 * y * self.width
            for x in range(x0, x1):
                i = row + 3 * x
                yield (x + self.x0, y + self.y0, self.pixels[i], self.pixels[i + 1],
                       self.pixels[i + 2])

    def count(self, test):
        return sum(1 for x, y, r, g, b in self.points() if test(r, g, b))


def colour_test(text):
    """'r,g,b' (exact, each 0..255, +-1 for rounding), or a class: 'lit' (any non-black),
    'whitepiece' (the lit white-side colour: red = green, blue lower), 'grey' (a square)."""
    if text == 'lit':
        return lambda r, g, b: r + g + b > 30
    if text == 'whitepiece':
        return lambda r, g, b: r > 40 and abs(r - g) <= 2 and b < r * 0.9
    if text == 'grey':
        return lambda r, g, b: r > 60 and r == g == b
    want = [int(v) for v in text.split(',')]
    return lambda r, g, b: (abs(r - want[0]) <= 1 and abs(g - want[1]) <= 1 and
                            abs(b - want[2]) <= 1)


def polygon_box(polygon, grow=0):
    xs, ys = [p[0] for p in polygon], [p[1] for p in polygon]
    return (int(min(xs)) - grow, int(min(ys)) - grow, int(max(xs)) + 2 + grow,
            int(max(ys)) + 2 + grow)


def count_in_polygon(image, polygon, test, margin=2.0, box=None):
    return sum(1 for x, y, r, g, b in image.points(box)
               if inside_margin((x + 0.5, y + 0.5), polygon) >= margin and test(r, g, b))


# ---- commands ----

USAGE = """usage: window_model.py [--size WIDTHxHEIGHT] COMMAND ...
  square GAME VIEW INDEX [PINS]   click point "X Y" of a square (exit 1: none in this view)
  squares GAME VIEW [PINS]        "INDEX LEVEL X Y" for every square with a click point
  post VIEW BOARD [PINS]          click point of a post (BOARD 100, 106, 116, 122)
  marker VIEW PIN                 where a pin's marker cone stands
  text LINE [ortho]               box "X0 Y0 X1 Y1" of text line 0, 1 or 2
  button NAME                     click point of a promotion button (QUEEN, KNIGHT, ...)
  panel                           box of the promotion panel
  count IMAGE COLOUR [X0 Y0 X1 Y1]            pixels of a colour (see colour_test)
  count-square IMAGE COLOUR GAME VIEW INDEX [PINS]  the same inside a square
  marked IMAGE COLOUR N GAME VIEW [PINS]      the squares with N or more pixels of the colour
  same IMAGE1 IMAGE2 [X0 Y0 X1 Y1]            exit 0 when the region is identical
  differing IMAGE1 IMAGE2 [X0 Y0 X1 Y1]       how many pixels of the region differ
  label-width IMAGE ENTRY         width of the black text of a menu entry (1 = the first)
GAME is 2d or 3d; VIEW e.g. persp,1.6,300 or ortho,2,0,0,0 or 'default';
PINS the four boards' pins, e.g. 32,39,56,63 (the start)."""


def main(argv):
    global WIDTH, HEIGHT
    if len(argv) > 2 and argv[1] == '--size':
        WIDTH, HEIGHT = (int(v) for v in argv[2].split('x'))
        argv = argv[:1] + argv[3:]
    if len(argv) < 2:
        print(USAGE, file=sys.stderr)
        return 2
    command, args = argv[1], argv[2:]

    def view_of(game, text):
        return parse_view(DEFAULT_VIEW[game] if text == 'default' else text)

    def pins_of(i):
        return tuple(int(v) for v in args[i].split(',')) if len(args) > i else HOME_PINS

    def box_of(i):
        return tuple(int(v) for v in args[i:i + 4]) if len(args) >= i + 4 else None

    if command == 'square':
        point = square_clicks(view_of(args[0], args[1]), args[0], pins_of(3))[int(args[2])]
        if point is None:
            return 1
        print(point[0], point[1])
    elif command == 'squares':
        points = square_clicks(view_of(args[0], args[1]), args[0], pins_of(2))
        for index, point in enumerate(points):
            if point is not None:
                level = level_name(index) if args[0] == '3d' else '2d'
                print(index, level, point[0], point[1])
    elif command == 'post':
        board = [b[0] for b in BOARDS].index(int(args[1]))
        print(*post_click(view_of('3d', args[0]), board, pins_of(2)))
    elif command == 'marker':
        print(*(round(v) for v in pin_marker_point(view_of('3d', args[0]), int(args[1]))))
    elif command == 'text':
        print(*text_box(int(args[0]), len(args) > 1 and args[1] == 'ortho'))
    elif command == 'button':
        print(*promotion_button(args[0]))
    elif command == 'panel':
        print(*promotion_panel())
    elif command == 'count':
        print(Image(args[0], box_of(2)).count(colour_test(args[1])))
    elif command == 'count-square':
        polygon = square_polygon(view_of(args[2], args[3]), args[2], int(args[4]), pins_of(5))
        image = Image(args[0], polygon_box(polygon))
        print(count_in_polygon(image, polygon, colour_test(args[1])))
    elif command == 'marked':
        image, test = Image(args[0]), colour_test(args[1])
        view, game = view_of(args[3], args[4]), args[3]
        for index in range(64):
            polygon = square_polygon(view, game, index, pins_of(5))
            if count_in_polygon(image, polygon, test, box=polygon_box(polygon)) >= int(args[2]):
                print(index)
    elif command == 'same':
        box = box_of(2)
        return 0 if Image(args[0], box).pixels == Image(args[1], box).pixels else 1
    elif command == 'label-width':
        # Menu entries are 25 pixels high below a border of 2, their labels black.
        top = 2 + 25 * (int(args[1]) - 1)
        image = Image(args[0])
        xs = [x for x, y, r, g, b in image.points((0, top, image.width, top + 25))
              if r == g == b == 0]
        print(max(xs) - min(xs) + 1 if xs else 0)
    elif command == 'differing':
        box = box_of(2)
        a, b = Image(args[0], box).pixels, Image(args[1], box).pixels
        print(sum(1 for i in range(0, min(len(a), len(b)), 3) if a[i:i + 3] != b[i:i + 3]))
    else:
        print(USAGE, file=sys.stderr)
        return 2
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
