#include "ui/piece_models.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <initializer_list>

#include "board/position.h"

namespace tarvex::ui {
namespace {

// Tessellation of the primitives unless a part asks for another.
constexpr GLint kSlices = 10;  // cylinders and spheres
constexpr GLint kStacks = 8;
constexpr GLint kTorusSides = 10;
constexpr GLint kTorusRings = 8;
// The knight's ears, the queen's and the king's top spheres.
constexpr GLint kSmallSlices = 5;
constexpr GLint kSmallStacks = 4;
constexpr GLint kFineTorusRings = 10;

constexpr int kModelCount = kKing;  // one model per type kPawn..kKing

// A GLU cylinder along +z from its base: base radius, top radius, height.
void Cylinder(GLUquadric* quadric, double base, double top, double height, GLint slices = kSlices,
              GLint stacks = kStacks) {
    gluCylinder(quadric, base, top, height, slices, stacks);
}

// A solid torus around the z axis: the tube's radius, then the radius of the ring.
void Torus(double inner, double outer, GLint rings = kTorusRings) {
    glutSolidTorus(inner, outer, kTorusSides, rings);
}

void Sphere(double radius, GLint slices = kSlices, GLint stacks = kStacks) {
    glutSolidSphere(radius, slices, stacks);
}

void Up(double height) {
    glTranslated(0.0, 0.0, height);
}

void Pawn(GLUquadric* quadric) {
    Cylinder(quadric, 0.22, 0.1, 0.65);
    Up(0.6);
    Sphere(0.14);
}

// Two rings for the base, a neck leaning back, the head with two ears, and the muzzle.
void Knight(GLUquadric* quadric) {
    glRotated(-90.0, 0.0, 0.0, 1.0);
    Up(0.09);
    Torus(0.1, 0.2);
    Up(0.1);
    Torus(0.1, 0.2);
    Up(0.05);
    glRotated(10.0, 0.0, 1.0, 0.0);
    Cylinder(quadric, 0.2, 0.15, 0.7);
    Up(0.65);
    Sphere(0.16);
    for (const double earTilt : {25.0, -25.0}) {
        glPushMatrix();
        glRotated(10.0, 0.0, 1.0, 0.0);
        glRotated(earTilt, 1.0, 0.0, 0.0);
        glTranslated(0.05, 0.0, 0.13);
        Cylinder(quadric, 0.08, 0.0, 0.15, kSmallSlices, kSmallStacks);
        glPopMatrix();
    }
    glRotated(-110.0, 0.0, 1.0, 0.0);
    Cylinder(quadric, 0.17, 0.1, 0.3);
    Up(0.3);
    Sphere(0.1);
}

// A tall body, a tilted ring for the mitre's cleft and a ball on top.
void Bishop(GLUquadric* quadric) {
    Cylinder(quadric, 0.22, 0.12, 0.9);
    Up(0.85);
    glPushMatrix();
    glRotated(-45.0, 1.0, 0.0, 0.0);
    Torus(0.05, 0.12);
    glPopMatrix();
    Up(0.125);
    Sphere(0.1);
}

// A square foot, a round body, a square top with four battlements at its corners.
void Rook(GLUquadric* quadric) {
    DrawBox(-0.25f, 0.25f, -0.25f, 0.25f, 0.0f, 0.1f);
    Up(0.1);
    Cylinder(quadric, 0.22, 0.16, 0.5);
    Up(0.5);
    DrawBox(-0.2f, 0.2f, -0.2f, 0.2f, 0.0f, 0.1f);
    Up(0.1);
    constexpr double kBattlement = 0.1;
    glTranslated(-0.15, -0.15, 0.05);
    glutSolidCube(kBattlement);
    glTranslated(0.3, 0.0, 0.0);
    glutSolidCube(kBattlement);
    glTranslated(0.0, 0.3, 0.0);
    glutSolidCube(kBattlement);
    glTranslated(-0.3, 0.0, 0.0);
    glutSolidCube(kBattlement);
}

void Queen(GLUquadric* quadric) {
    Up(0.06);
    Torus(0.06, 0.23);
    Cylinder(quadric, 0.25, 0.15, 1.0);
    Up(0.9);
    Torus(0.08, 0.16);
    Up(0.15);
    Sphere(0.15);
    Up(0.08);
    Torus(0.04, 0.14, kFineTorusRings);
    Up(0.07);
    Sphere(0.07, kSmallSlices, kSmallStacks);
}

void King(GLUquadric* quadric) {
    DrawBox(-0.27f, 0.27f, -0.27f, 0.27f, 0.0f, 0.1f);
    Up(0.1);
    Cylinder(quadric, 0.25, 0.15, 0.8);
    Up(0.8);
    Torus(0.07, 0.14);
    Cylinder(quadric, 0.2, 0.0, 0.6);
    Up(0.25);
    Torus(0.05, 0.14, kFineTorusRings);
    Up(0.15);
    Torus(0.065, 0.16, kFineTorusRings);
    Up(0.1);
    Sphere(0.1, kSmallSlices, kSmallStacks);
}

// Issues the model's primitives; the matrix is the same afterwards.
void BuildModel(int type, GLUquadric* quadric) {
    glPushMatrix();
    switch (type) {
        case kPawn:
            Pawn(quadric);
            break;
        case kKnight:
            Knight(quadric);
            break;
        case kBishop:
            Bishop(quadric);
            break;
        case kRook:
            Rook(quadric);
            break;
        case kQueen:
            Queen(quadric);
            break;
        case kKing:
            King(quadric);
            break;
        default:
            break;
    }
    glPopMatrix();
}

// The models' display lists: list base + type - 1 holds the model of type. Display lists
// belong to a GL context, so they are kept with the window whose context compiled them.
struct ModelLists {
    int window = 0;
    GLuint base = 0;
};
ModelLists gModelLists;  // main thread only

// The base of the current window's lists, compiled now if they are missing; 0 when GL has no
// list names to give.
GLuint CurrentModelLists() {
    const int window = glutGetWindow();
    if (gModelLists.base != 0 && gModelLists.window == window && glIsList(gModelLists.base)) {
        return gModelLists.base;
    }
    GLUquadric* quadric = gluNewQuadric();
    if (quadric == nullptr) return 0;
    const GLuint base = glGenLists(kModelCount);
    if (base != 0) {
        for (int type = kPawn; type <= kKing; ++type) {
            glNewList(base + static_cast<GLuint>(type - kPawn), GL_COMPILE);
            BuildModel(type, quadric);
            glEndList();
        }
        gModelLists = {window, base};
    }
    gluDeleteQuadric(quadric);
    return base;
}

}  // namespace

void DrawPieceModel(int type) {
    if (type < kPawn || type > kKing) return;
    const GLuint base = CurrentModelLists();
    if (base != 0) {
        glCallList(base + static_cast<GLuint>(type - kPawn));
        return;
    }
    // No display lists to be had: draw the model directly.
    GLUquadric* quadric = gluNewQuadric();
    if (quadric == nullptr) return;
    BuildModel(type, quadric);
    gluDeleteQuadric(quadric);
}

void DrawBox(float x0, float x1, float y0, float y1, float z0, float z1) {
    const GLfloat corners[8][3] = {
        {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0},
        {x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0},
    };
    // Each face's corners run counter-clockwise seen from outside, after its normal.
    struct Face {
        GLfloat normal[3];
        int corner[4];
    };
    static constexpr Face kFaces[6] = {
        {{-1.0f, 0.0f, 0.0f}, {0, 1, 2, 3}}, {{1.0f, 0.0f, 0.0f}, {4, 7, 6, 5}},
        {{0.0f, -1.0f, 0.0f}, {0, 4, 5, 1}}, {{0.0f, 1.0f, 0.0f}, {3, 2, 6, 7}},
        {{0.0f, 0.0f, -1.0f}, {0, 3, 7, 4}}, {{0.0f, 0.0f, 1.0f}, {1, 5, 6, 2}},
    };
    glBegin(GL_QUADS);
    for (const Face& face : kFaces) {
        glNormal3fv(face.normal);
        for (const int corner : face.corner) glVertex3fv(corners[corner]);
    }
    glEnd();
}

}  // namespace tarvex::ui
